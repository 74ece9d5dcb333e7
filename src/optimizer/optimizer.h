#pragma once

// The calibration's search: six sub-populations of gene vectors evolve side
// by side in epochs of 20 generations, the worst one is dropped after every
// epoch, and the best one is then stepped until the evaluation budget is
// spent or it is good enough.

#include <vector>

#include "optimizer/generation.h"
#include "optimizer/objective.h"
#include "results/progress_sink.h"
#include "optimizer/random_source.h"

namespace velm {

// What a search did, for whoever wants to know without reading its output.
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
};

class Optimizer {
 public:
  static constexpr int kSubPopulationCount = 6;
  static constexpr int kGenerationsPerEpoch = 20;
  // The final phase ends once the best f falls below this, or is NaN: a NaN
  // f ranks after every number, so the best is NaN only when nothing in
  // the sub-population scored one, and with no observed day to compare
  // every f is NaN.
  static constexpr double kStopFitness = 0.2;
  // Nominal evaluations per initialised sub-population and per step,
  // penalised individuals included.
  static constexpr int kEvaluationsPerInitialisation =
      Generation::kParentCount;
  static constexpr int kEvaluationsPerStep = Generation::kChildCount;
  // fcount once the sub-populations are initialised and `epochs` epochs
  // have run, 6, 5, ... sub-populations stepping in each.
  static constexpr int EvaluationsAfterEpochs(int epochs) {
    int fcount = kSubPopulationCount * kEvaluationsPerInitialisation;
    for (int e = 0; e < epochs; ++e) {
      fcount += (kSubPopulationCount - e) * kGenerationsPerEpoch *
                kEvaluationsPerStep;
    }
    return fcount;
  }

  // The clock seeds the search's random numbers.
  Optimizer(int variableCount, int fcountLimit, Clock clock);

  // The whole search, its progress reported as it goes.
  CalibrationRecord Run(Objective& objective, ProgressSink& progress);

 private:
  int variableCount_;
  int fcountLimit_;
  Clock clock_;
};

// Every search runs its epochs; a budget up to this ends it there.
inline constexpr int kEpochEvaluations =
    Optimizer::EvaluationsAfterEpochs(Optimizer::kSubPopulationCount);

}  // namespace velm
