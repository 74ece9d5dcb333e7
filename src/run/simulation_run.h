#pragma once

// One simulation of a catchment as velm runs it: the hourly series, their
// daily totals as the result file holds them, the fit against the observed
// runoff and the scores. velm, the Python module and the page's model call
// this; none of them repeats its steps.

#include <memory>
#include <vector>

#include "input/series.h"
#include "model/parameter_set.h"
#include "model/simulate.h"
#include "results/fit.h"
#include "results/result_file.h"
#include "results/scores.h"
#include "run/catchment_data.h"

namespace velm {

struct SimulationRun {
  ParameterSet Parameters;
  std::shared_ptr<const Weather> WeatherRecord;
  std::shared_ptr<const ObservedRunoff> Observed;  // null: not compared
  // Empty when only the days were asked for.
  HourlyOutputs Hourly;
  std::vector<double> DailyCalcQ;
  std::vector<double> DailyActualE;
  // The infiltration capacity at the start of each day (hour by hour only).
  std::vector<double> DailyInfiltration;
  // Without observed runoff: no day compared, 0 fit days and RE 0, as velm
  // prints it.
  FitMeasures Fit;
  velm::Scores Scores;
  // f as a calibration scores the set: the measure the objective type
  // selects plus the ordering rules' penalty.
  double F = 0.0;

  // The daily totals the fit and the result file read.
  DailyTotals Totals() const;
  DailyRows Rows() const;
};

enum class Detail {
  kHourly,  // the hourly series too, and the capacity at the start of days
  kDaily,   // daily totals only, summed as the hourly run sums them
};

// `parameters` simulated on the catchment's weather; compared with its
// observed runoff when `compare` (the observed runoff is asked for after the
// simulation, as velm reads it) and the catchment has one.
SimulationRun SimulateCatchment(const CatchmentData& data,
                                const ParameterSet& parameters, bool compare,
                                Detail detail = Detail::kHourly);

}  // namespace velm
