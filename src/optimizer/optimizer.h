#pragma once

// The calibration: six sub-populations of gene vectors evolve side by side in
// epochs of 20 generations, the worst one is dropped after every epoch, the
// best one is then stepped until the evaluation budget is spent or it is good
// enough, and the best parameter set found is reported.

#include <array>
#include <memory>
#include <vector>

#include "input/parameter_set.h"
#include "input/run_inputs.h"
#include "input/run_settings.h"
#include "optimizer/generation.h"
#include "optimizer/objective_batch.h"
#include "optimizer/random_source.h"

namespace velm {

// What a run did, for whoever wants to know without reading its output.
struct CalibrationRecord {
  struct Epoch {
    int Generation = 0;  // g after the epoch
    int Fcount = 0;      // fcount after the epoch
    // The best f of each active sub-population, in ranked order.
    std::vector<double> RankedF;
  };
  std::vector<Epoch> Epochs;
  int FinalSteps = 0;  // steps of the final phase
  int Generation = 0;  // g at the end
  int Fcount = 0;      // fcount at the end
  Individual Best;     // the result: the best individual of sub-population 0
  // With the runoff model as the objective: the gene vectors it scored and
  // the simulations that took (repeats are not simulated again).
  long Evaluations = 0;
  long Simulations = 0;
};

class Optimizer {
 public:
  static constexpr int SubPopulationCount = 6;
  static constexpr int GenerationsPerEpoch = 20;
  // The final phase ends once the best f falls below this (or is NaN).
  static constexpr double StopFitness = 0.2;
  // Nominal evaluations per initialised sub-population and per step,
  // penalised individuals included.
  static constexpr int kEvaluationsPerInitialisation = Generation::ParentCount;
  static constexpr int kEvaluationsPerStep = Generation::ChildCount;

  // Asks the run's inputs for the settings (FILEINFO.dat, then the control
  // file). The clock seeds the run's random numbers.
  explicit Optimizer(
      Clock clock = SystemClock(),
      std::shared_ptr<RunInputs> inputs = std::make_shared<RunInputs>());

  // The whole calibration, scoring individuals with the runoff model. Returns
  // false when the result file could not be written completely; the run and
  // its console output are the same either way.
  bool Run(int outputFlag);
  // The same with another objective.
  bool Run(int outputFlag, Objective& objective);

  const CalibrationRecord& Record() const { return record_; }

  RunSettings Settings;
  ParameterSet Parameters;  // read and scaled by the parameter reports

 private:
  std::shared_ptr<RunInputs> inputs_;
  Clock clock_;
  CalibrationRecord record_;
};

}  // namespace velm
