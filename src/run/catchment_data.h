#pragma once

// What a run reads, whether from a catchment directory or from plain series:
// the weather, the control file's settings, the parameter file's values and
// the observed runoff. Copies share the series and the source of the observed
// runoff, so a copy with other settings or parameters costs little.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "input/run_inputs.h"
#include "input/run_settings.h"
#include "input/series.h"
#include "model/parameter_set.h"

namespace velm {

struct CatchmentData {
  std::shared_ptr<const Weather> WeatherRecord;
  RunSettings Settings;
  ParameterSet Parameters;
  // The observed runoff, asked for where a run first needs it, so that a bad
  // file is refused at that point (an InputError); null when there is none.
  // Threads may ask at once.
  std::function<std::shared_ptr<const ObservedRunoff>()> Observed;

  // FILEINFO.dat and the control, rain, evaporation and parameter files,
  // read in the order velm has always first read them, which decides which
  // problem a user sees first; the observed-runoff file when first asked for.
  static CatchmentData Read(std::shared_ptr<RunInputs> inputs);
  // Hourly rain with the potential evaporation of every hour or of every
  // whole day, the dates of the whole days from `first`, and hourly observed
  // runoff (none: nothing to compare) converted by the settings' catchment
  // area, a shorter series padded with 0 as a shorter file is. Series of
  // lengths that do not fit are refused with std::invalid_argument.
  static CatchmentData FromSeries(
      std::vector<double> rain, std::vector<double> potentialE,
      Calendar dates, std::optional<std::vector<double>> observed,
      ParameterSet parameters, RunSettings settings);

  // The same catchment with other settings; the catchment area cannot
  // change (std::invalid_argument), the observed runoff was converted with
  // it.
  CatchmentData WithSettings(RunSettings settings) const;
  // The observed runoff, or std::invalid_argument saying there is none.
  std::shared_ptr<const ObservedRunoff> RequireObserved() const;
};

}  // namespace velm
