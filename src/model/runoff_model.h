#pragma once

// The object one simulation runs on: its own settings and parameters, the
// hourly input series (shared read-only by every model of the run), and the
// hourly outputs the simulation writes.

#include <memory>
#include <span>
#include <vector>

#include "input/hydro_series.h"
#include "input/parameter_set.h"
#include "input/run_inputs.h"
#include "input/run_settings.h"

namespace velm {

class RunoffModel {
 public:
  // Asks the run's inputs, in this order, for FILEINFO.dat, the control
  // file, the rain and evaporation files and the parameter file (without
  // echo); the inputs read each file at its first request only.
  explicit RunoffModel(
      std::shared_ptr<RunInputs> inputs = std::make_shared<RunInputs>());
  RunoffModel(const RunoffModel&) = delete;
  RunoffModel& operator=(const RunoffModel&) = delete;

  // Whole days of the run; a trailing partial day is simulated, not reported.
  int DayCount() const { return HourCount / kHoursPerDay; }

  // The hourly simulation over the whole record. With 0 the parameter file's
  // values are taken again and echoed on the console, which also resets the
  // tank depths; any other value runs with the parameters and depths as they
  // stand.
  void Simulate(int useCurrentParameters);

  // The steps of the warm-up pass that precedes the main pass: the first
  // sixth of the record.
  int WarmUpSteps() const { return HourCount / 6; }

  // The run's inputs, and the series this model reads (shared by every
  // model of the run).
  RunInputs& Inputs() const { return *inputs_; }

 private:
  std::shared_ptr<RunInputs> inputs_;
  std::shared_ptr<const Weather> weather_;

 public:
  // The number of hourly steps: the records of the rain file.
  int HourCount = 0;
  // Capacity at the start (entry 0) and after each hourly step: HourCount + 1.
  std::vector<double> Infiltration;
  RunSettings Settings;
  ParameterSet Parameters;
  const HydroSeries& Series;
  std::span<const double> Rain;
  std::span<const double> PotentialE;
  std::vector<double> ActualE;
  std::vector<double> ObservedQ;
  std::vector<double> CalcQ;
  // The parameters as the parameter file gives them, initial tank depths
  // included: every evaluation of a set of genes starts from these.
  ParameterSet FileParameters;
};

}  // namespace velm
