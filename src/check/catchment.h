#pragma once

// A catchment directory read the way velm reads it, file by file, with
// velm's own readers. A file that velm would refuse becomes an error finding
// instead of ending the check, and the other files are still read, so one
// broken file does not hide what is wrong with the others.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "check/finding.h"
#include "common/text_lines.h"
#include "input/file_info.h"
#include "input/run_inputs.h"
#include "input/run_settings.h"
#include "input/series.h"
#include "model/parameter_set.h"

namespace velm::check {

// A file that FILEINFO.dat names.
struct NamedFile {
  FileEntry Entry = FileEntry::kFileInfo;
  std::string Name;   // as FILEINFO.dat writes it, in code page 932
  std::string Shown;  // the same in UTF-8
  std::size_t FileInfoLine = 0;
  // Where velm opens it.
  std::filesystem::path Path;
  // The file's lines as velm reads them, when it could be opened.
  std::optional<TextLines> Lines;
};

struct Catchment {
  explicit Catchment(std::filesystem::path directory)
      : Inputs(std::move(directory)) {}

  RunInputs Inputs;
  // FILEINFO.dat's lines, and the table read from them, when it was readable.
  std::optional<TextLines> FileInfoLines;
  bool FileInfoRead = false;
  std::array<NamedFile, FileInfo::kEntryCount> Files;

  std::optional<RunSettings> Settings;
  std::optional<std::vector<double>> Rain;
  std::optional<Weather> WeatherRecord;
  std::optional<ParameterSet> Parameters;
  std::optional<ObservedRunoff> Observed;
  // The first line of the rain file whose date does not follow the one
  // before, which explains a count that does not fit.
  std::size_t RainOrderBreak = 0;

  NamedFile& File(FileEntry entry) {
    return Files[static_cast<std::size_t>(entry) - 1];
  }
  const NamedFile& File(FileEntry entry) const {
    return Files[static_cast<std::size_t>(entry) - 1];
  }
  // The hours of the run: the rain file's records, when it could be opened.
  std::optional<std::size_t> Hours() const;
  // A calibration always compares with observed runoff; a simulation when
  // control line 7 asks for it. Unknown settings count as reading it.
  bool ReadsObservedRunoff() const;
  // A calibration always writes the result file; a simulation with output 1.
  bool WritesResult() const;
  bool IsCalibration() const { return Settings && Settings->RunMode != 0; }
};

// Reads every file of the directory in velm's order and adds a finding for
// each refusal.
void ReadCatchment(Catchment& catchment, std::vector<Finding>& findings);

// Why FILEINFO.dat gives the file no name: the line is missing, has no line
// end, or nothing after its comma.
std::string MissingNameReason(const Catchment& catchment,
                              const NamedFile& file);

// A finding for a file as a whole (line 0) or one of its lines.
Finding FindingAt(const NamedFile& file, std::string_view kind,
                  Severity level, std::size_t line, std::string message,
                  std::string fix);

}  // namespace velm::check
