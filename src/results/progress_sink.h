#pragma once

// What a calibration tells as it goes, as calls rather than text, so that
// each front end words it its own way: the search calls the progress events,
// the run service the others. The console's and the result file's writers are implementations
// (calibration_reports.h); the Python module's progress callback reads the
// console's.

#include <span>

#include "model/parameter_set.h"
#include "results/fit.h"
#include "results/result_file.h"

namespace velm {

// The result of a calibration as its reports show it.
struct CalibrationEnd {
  const ParameterSet& Scaled;  // the parameter file's values scaled by genes
  double BestF;
  std::span<const double> Genes;  // X[1] .. X[n]
  const DailyRows& Rows;          // the scaled set simulated
  const FitMeasures& Fit;
};

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;

  // Before the search, the parameter file's values (the upper bounds).
  virtual void Started(const ParameterSet&) {}

  // The search.
  virtual void Initialising(int /*subPopulation*/, int /*fcount*/) {}
  virtual void GenerationStarts(int /*activeCount*/, int /*generation*/) {}
  virtual void Stepped(int /*subPopulation*/, double /*bestF*/,
                       int /*fcount*/) {}
  virtual void Sorting() {}
  virtual void Ranked(int /*subPopulation*/, double /*bestF*/) {}
  virtual void EpochBest(int /*generation*/, double /*bestF*/,
                         std::span<const double> /*genes*/, int /*fcount*/) {}
  virtual void FinalStep(int /*generation*/, double /*bestF*/,
                         int /*fcount*/) {}

  // An evaluation's fit, with output flag 1, in the order of the requests.
  virtual void Evaluated(const FitMeasures&) {}

  // The best set, simulated.
  virtual void Finished(const CalibrationEnd&) {}
};

}  // namespace velm
