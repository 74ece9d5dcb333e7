#include "optimizer/optimizer.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <utility>

#include "model/runoff_model.h"
#include "optimizer/operators.h"
#include "optimizer/parameter_reports.h"
#include "optimizer/progress_report.h"
#include "optimizer/shell_sort.h"
#include "results/objective.h"
#include "results/result_file.h"

namespace velm {
namespace {

bool GoodEnough(double f) {
  return f < Optimizer::StopFitness || std::isnan(f);
}

// The six sub-populations and the counters of one run.
class Search {
 public:
  Search(ProgressReport& report, Clock clock, Objective& objective,
         int outputFlag, const RunSettings& settings)
      : report_(report),
        random_(std::move(clock)),
        objective_(objective),
        outputFlag_(outputFlag),
        settings_(settings) {}

  // Each line is printed before its sub-population is counted.
  void Initialise() {
    for (int s = 0; s < Optimizer::SubPopulationCount; ++s) {
      report_.Initialising(s, fcount_);
      fcount_ += Optimizer::kEvaluationsPerInitialisation;
      InitialiseSubPopulation(subPopulations_[s], outputFlag_, random_,
                              objective_, settings_);
    }
  }

  // Epochs with 6, 5, ... 1 active sub-populations, whatever the budget and
  // however good the best f already is.
  void RunEpochs(CalibrationRecord& record) {
    for (int active = Optimizer::SubPopulationCount; active > 0; --active) {
      for (int step = 0; step < Optimizer::GenerationsPerEpoch; ++step) {
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
      report_.EpochBest(g_, Best(), fcount_);
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
  int Fcount() const { return fcount_; }
  int GenerationCount() const { return g_; }

 private:
  double BestF(int s) const { return subPopulations_[s].Best().f; }

  void Step(int s) {
    StepSubPopulation(subPopulations_[s], outputFlag_, random_, objective_,
                      settings_);
    fcount_ += Optimizer::kEvaluationsPerStep;
  }

  // Orders the active sub-populations by their best f, so that number 0 is
  // the best and the last active one is dropped; the inactive ones stay put.
  void Rank(int active) {
    ShellSort(
        active, [&](int s) { return BestF(s); },
        [&](int a, int b) {
          std::swap(subPopulations_[a], subPopulations_[b]);
        });
  }

  ProgressReport& report_;
  RandomSource random_;
  Objective& objective_;
  int outputFlag_;
  const RunSettings& settings_;
  std::array<SubPopulation, Optimizer::SubPopulationCount> subPopulations_;
  int fcount_ = 0;
  int g_ = 0;
};

}  // namespace

Optimizer::Optimizer(Clock clock, std::shared_ptr<RunInputs> inputs)
    : Settings(inputs->Settings()),
      inputs_(std::move(inputs)),
      clock_(std::move(clock)) {}

bool Optimizer::Run(int outputFlag) {
  ModelObjective objective(inputs_);
  const bool written = Run(outputFlag, objective);
  record_.Evaluations = objective.EvaluationCounts().Evaluations;
  record_.Simulations = objective.EvaluationCounts().Simulations;
  return written;
}

bool Optimizer::Run(int outputFlag, Objective& objective) {
  record_ = {};
  // Whether it opens or not, the run goes on: writes to a failed stream are
  // skipped, and the failure is reported once, at the end.
  ResultFile result = OpenResultFile();
  std::ofstream& resultFile = result.Stream;
  WriteInitialParameters(Parameters, resultFile);

  ProgressReport report(std::cout, resultFile, outputFlag == 1,
                        Settings.VariableCount);
  Search search(report, clock_, objective, outputFlag, Settings);
  search.Initialise();
  search.RunEpochs(record_);
  search.RunFinalPhase(Settings.FcountLimit, record_);

  const Individual best = search.Best();
  record_.Generation = search.GenerationCount();
  record_.Fcount = search.Fcount();
  record_.Best = best;

  // A fresh model simulates the best genes for the result block. The f
  // reported is the one the search stored, not this evaluation's.
  RunoffModel model(inputs_);
  EvaluateObjective(model, best.X, 0);
  WriteOptimizedParameters(Parameters, Settings, best.X, resultFile);
  report.FinalBest(best);
  report.Closing();
  const bool writtenSoFar = resultFile.good();
  const bool written =
      WriteCalibrationResult(model, resultFile) && writtenSoFar;
  if (!written) ReportUnwritableResultFile(result.Name);
  return written;
}

}  // namespace velm
