#pragma once

// velm.Catchment: a catchment's inputs, read once, and velm's simulation,
// objective and calibration on them, without a console, a result file or a
// working directory. Nothing here touches Python: the module calls these
// functions with the interpreter's lock released.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "input/input_error.h"
#include "input/run_settings.h"
#include "input/series.h"
#include "model/parameter_set.h"
#include "model/simulate.h"
#include "optimizer/gene_map.h"
#include "optimizer/objective.h"
#include "optimizer/optimizer.h"
#include "optimizer/random_source.h"
#include "results/fit.h"
#include "results/scores.h"

namespace velm::python {

// An input velm refuses, with the file it is in: the name FILEINFO.dat gives
// the file, or FILEINFO.dat itself.
struct CatchmentInputError : std::exception {
  CatchmentInputError(InputError error, std::string file)
      : Error(std::move(error)), File(std::move(file)) {}
  const char* what() const noexcept override { return Error.what(); }

  InputError Error;
  std::string File;
};

// One simulation as velm runs it, with the daily totals its result file
// holds and the fit against the observed runoff.
struct Simulation {
  ParameterSet Parameters;
  std::shared_ptr<const Weather> WeatherRecord;
  std::shared_ptr<const ObservedRunoff> Observed;  // null: not compared
  HourlyOutputs Hourly;
  std::vector<double> DailyCalcQ;
  std::vector<double> DailyActualE;
  // The infiltration capacity at the start of each day.
  std::vector<double> DailyInfiltration;
  FitMeasures Fit;
  velm::Scores Scores;
};

// What a calibration found, and the simulation of its best set.
struct CalibrationOutcome {
  CalibrationRecord Record;
  ModelObjective::Counts Counts;
  // Why the best set is not a valid parameter set; empty when it is.
  std::vector<std::string> Problems;
  Simulation Best;
};

// The dates of `days` whole days from `first` on.
Calendar CalendarFrom(int year, unsigned month, unsigned day, std::size_t days);

// Hourly rain with the potential evaporation of every hour, or of every whole
// day (spread over the hours as velm spreads the evaporation file's).
Weather WeatherFromSeries(std::vector<double> rain,
                          const std::vector<double>& potentialE,
                          Calendar dates);

class Catchment {
 public:
  // FILEINFO.dat in `directory` and the files it names, read in the order
  // velm reads them; the observed runoff on first use.
  static Catchment Read(const std::filesystem::path& directory);
  // Hourly observed runoff (a shorter series is padded with 0, as a shorter
  // file is) converted by the settings' catchment area.
  static Catchment FromSeries(Weather weather,
                              std::optional<std::vector<double>> observed,
                              ParameterSet parameters, RunSettings settings);

  const std::filesystem::path& Directory() const;  // empty: from arrays
  const RunSettings& Settings() const { return settings_; }
  const ParameterSet& Parameters() const { return parameters_; }
  const Weather& WeatherRecord() const { return *weather_; }
  const std::shared_ptr<const Weather>& SharedWeather() const {
    return weather_;
  }
  // Null when the catchment has none; a file is read on the first call.
  std::shared_ptr<const ObservedRunoff> Observed() const;
  // Observed(), or a refusal that says there is none.
  std::shared_ptr<const ObservedRunoff> RequireObserved() const;

  // The catchment area stays: the observed runoff was converted with it.
  Catchment WithSettings(RunSettings settings) const;
  Catchment WithParameters(ParameterSet parameters) const;

  // The parameter file's values scaled by genes X[1]..X[n], as an evaluation
  // scales them.
  ParameterSet ScaledParameters(std::span<const double> genes) const;
  // `observed` null: no comparison.
  Simulation Simulate(const ParameterSet& parameters,
                      std::shared_ptr<const ObservedRunoff> observed) const;
  // f of genes X[1]..X[n] as the search scores a child; `observed` may be
  // null with output flag 2, which simulates nothing.
  double Objective(std::span<const double> genes,
                   const ObservedRunoff* observed) const;
  // velm's calibration with its console text on `console`.
  CalibrationOutcome Calibrate(Clock clock, int threadCount,
                               std::shared_ptr<const ObservedRunoff> observed,
                               std::ostream& console) const;

 private:
  struct Source;
  Forcing WeatherForcing() const;
  static Genes GenesOf(std::span<const double> genes);

  std::filesystem::path directory_;
  std::shared_ptr<Source> source_;
  std::shared_ptr<const Weather> weather_;
  RunSettings settings_;
  ParameterSet parameters_;
  std::shared_ptr<const GeneMap> map_;
};

}  // namespace velm::python
