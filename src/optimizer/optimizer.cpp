#include "optimizer/optimizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "optimizer/operators.h"
#include "optimizer/shell_sort.h"

namespace velm {
namespace {

bool GoodEnough(double f) {
  return f < Optimizer::kStopFitness || std::isnan(f);
}

// The six sub-populations and the counters of one run.
class Search {
 public:
  Search(ProgressSink& report, Clock clock, Objective& objective,
         int variableCount)
      : report_(report),
        random_(std::move(clock)),
        objective_(objective),
        variableCount_(variableCount) {}

  // Each line is printed before its sub-population is counted.
  void Initialise() {
    for (int s = 0; s < Optimizer::kSubPopulationCount; ++s) {
      report_.Initialising(s, fcount_);
      fcount_ += Optimizer::kEvaluationsPerInitialisation;
      InitialiseSubPopulation(subPopulations_[s], random_, objective_,
                              variableCount_);
    }
    nanKeys_ =
        objective_.ScoresNumbers() ? NaNKeys::kLast : NaNKeys::kUnmoved;
  }

  // Epochs with 6, 5, ... 1 active sub-populations, whatever the budget and
  // however good the best f already is.
  void RunEpochs(CalibrationRecord& record) {
    for (int active = Optimizer::kSubPopulationCount; active > 0; --active) {
      for (int step = 0; step < Optimizer::kGenerationsPerEpoch; ++step) {
        report_.GenerationStarts(active, g_);
        for (int s = 0; s < active; ++s) {
          Step(s);
          report_.Stepped(s, BestF(s), fcount_);
        }
        ++g_;
      }
      report_.Sorting();
      Rank(active);
      CalibrationRecord::Epoch& epoch = record.Epochs.emplace_back();
      for (int s = 0; s < active; ++s) {
        report_.Ranked(s, BestF(s));
        epoch.RankedF.push_back(BestF(s));
      }
      report_.EpochBest(g_, Best().f, BestGenes(), fcount_);
      epoch.Generation = g_;
      epoch.Fcount = fcount_;
    }
  }

  // The best sub-population alone, until the budget is spent or its best f
  // is good enough; the step that gets there is still reported.
  void RunFinalPhase(int fcountLimit, CalibrationRecord& record) {
    while (fcount_ < fcountLimit) {
      Step(0);
      report_.FinalStep(g_, BestF(0), fcount_);
      ++g_;
      ++record.FinalSteps;
      if (GoodEnough(BestF(0))) break;
    }
  }

  const Individual& Best() const { return subPopulations_[0].Best(); }
  // Genes X[1] .. X[n] of the best.
  std::span<const double> BestGenes() const {
    return std::span(Best().X).subspan(1, static_cast<std::size_t>(
                                              std::clamp(variableCount_, 0, kSlotCount - 1)));
  }
  int Fcount() const { return fcount_; }
  int GenerationCount() const { return g_; }

 private:
  double BestF(int s) const { return subPopulations_[s].Best().f; }

  void Step(int s) {
    StepSubPopulation(subPopulations_[s], random_, objective_,
                      variableCount_, nanKeys_);
    fcount_ += Optimizer::kEvaluationsPerStep;
  }

  // Orders the active sub-populations by their best f, so that number 0 is
  // the best and the last active one is dropped; the inactive ones stay put.
  void Rank(int active) {
    ShellSort(
        active, [&](int s) { return BestF(s); },
        [&](int a, int b) {
          std::swap(subPopulations_[a], subPopulations_[b]);
        },
        nanKeys_);
  }

  ProgressSink& report_;
  RandomSource random_;
  Objective& objective_;
  int variableCount_;
  NaNKeys nanKeys_ = NaNKeys::kLast;
  std::array<SubPopulation, Optimizer::kSubPopulationCount> subPopulations_;
  int fcount_ = 0;
  int g_ = 0;
};

}  // namespace

Optimizer::Optimizer(int variableCount, int fcountLimit, Clock clock)
    : variableCount_(variableCount),
      fcountLimit_(fcountLimit),
      clock_(std::move(clock)) {}

CalibrationRecord Optimizer::Run(Objective& objective,
                                 ProgressSink& report) {
  CalibrationRecord record;
  Search search(report, clock_, objective, variableCount_);
  search.Initialise();
  search.RunEpochs(record);
  search.RunFinalPhase(fcountLimit_, record);
  record.Generation = search.GenerationCount();
  record.Fcount = search.Fcount();
  record.Best = search.Best();
  return record;
}

}  // namespace velm
