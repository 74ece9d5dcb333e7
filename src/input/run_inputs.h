#pragma once

// Everything a run reads, read once. Inputs do not change while a run lasts,
// so every file is read and parsed the first time something asks for it and
// kept for the rest of the run; the models of the run share the parsed
// series read-only. The first request of each file happens where the program
// first read that file, so a missing or bad file is reported at the same
// point with the same message.

#include <memory>
#include <optional>
#include <vector>

#include "input/file_info.h"
#include "input/hydro_series.h"
#include "input/parameter_set.h"
#include "input/run_settings.h"

namespace velm {

// The rain and evaporation files of a run, with the daily totals the fit
// reports (summed as the fit sums every series).
struct Weather {
  explicit Weather(HydroSeries series) : Series(std::move(series)) {}
  int HourCount = 0;
  HydroSeries Series;  // the calendar
  std::vector<double> Rain;
  std::vector<double> PotentialE;
  std::vector<double> DailyRain;
  std::vector<double> DailyPotentialE;
};

// The observed-runoff file in model units, one value per hour of the run,
// and its daily totals.
struct ObservedRunoff {
  std::vector<double> Hourly;
  std::vector<double> Daily;
};

class RunInputs {
 public:
  // FILEINFO.dat.
  const FileInfo& Files();
  // The control file (after FILEINFO.dat).
  const RunSettings& Settings();
  // The rain file, then the evaporation file.
  std::shared_ptr<const Weather> WeatherRecord();
  // The parameter file, read without echo; print it with Echo.
  const ParameterSet& FileParameters();
  // The observed-runoff file, sized by the rain record.
  std::shared_ptr<const ObservedRunoff> Observed();

 private:
  std::optional<FileInfo> files_;
  std::optional<RunSettings> settings_;
  std::shared_ptr<const Weather> weather_;
  std::optional<ParameterSet> parameters_;
  std::shared_ptr<const ObservedRunoff> observed_;
};

}  // namespace velm
