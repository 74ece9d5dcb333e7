#pragma once

// Everything a run reads, from one catchment directory, each file read once.
// Inputs do not change while a run lasts, so every file is read and parsed
// the first time something asks for it and kept for the rest of the run. The
// program asks for each file where it first needs it, so a missing or bad
// file is reported at that point, and each request first asks for what the
// file depends on (FILEINFO.dat names them all). An InputError thrown here
// carries the file's name.

#include <filesystem>
#include <memory>
#include <optional>

#include "input/file_info.h"
#include "input/hydro_series.h"
#include "input/run_settings.h"
#include "model/parameter_set.h"

namespace velm {

class RunInputs {
 public:
  // Relative names in FILEINFO.dat resolve against `directory`.
  explicit RunInputs(std::filesystem::path directory);

  const std::filesystem::path& Directory() const { return directory_; }
  // Where a file named by FILEINFO.dat is opened; messages show the name as
  // FILEINFO.dat writes it.
  std::filesystem::path PathOf(FileEntry entry);

  // FILEINFO.dat.
  const FileInfo& Files();
  // The control file.
  const RunSettings& Settings();
  // The rain file, then the evaporation file.
  const Weather& WeatherRecord() { return *SharedWeather(); }
  std::shared_ptr<const Weather> SharedWeather();
  // The parameter file.
  const ParameterSet& FileParameters();
  // The observed-runoff file (after the rain file, which sets its length, and
  // the control file, which gives the catchment area).
  const ObservedRunoff& Observed() { return *SharedObserved(); }
  std::shared_ptr<const ObservedRunoff> SharedObserved();

 private:
  std::filesystem::path directory_;
  std::optional<FileInfo> files_;
  std::optional<RunSettings> settings_;
  std::shared_ptr<const Weather> weather_;
  std::optional<ParameterSet> parameters_;
  std::shared_ptr<const ObservedRunoff> observed_;
};

// The lines of an input file that FILEINFO.dat names, read as the run reads
// them; a file that cannot be opened is refused with its own message.
TextLines ReadInputFile(RunInputs& inputs, FileEntry entry);

}  // namespace velm
