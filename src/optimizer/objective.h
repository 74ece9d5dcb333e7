#pragma once

// How the operators score individuals, and the calibration's objective: the
// runoff model. Evaluations come in batches (the 10 parents of a new
// sub-population, or the 70 children of a step).

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "input/series.h"
#include "model/parameter_set.h"
#include "model/simulate.h"
#include "optimizer/evaluation_cache.h"
#include "optimizer/gene_map.h"
#include "results/fit.h"
#include "results/progress_sink.h"

namespace velm {

class Objective {
 public:
  virtual ~Objective() = default;
  // f[i] of genes[i], with the output of evaluating them one after another
  // in this order. f depends on the genes alone.
  virtual void Evaluate(std::span<const Genes* const> genes,
                        std::span<double> f) = 0;
  // False when f is NaN whatever the genes, so that a NaN f says nothing
  // against the genes that scored it. Asked once the first batch has been
  // evaluated.
  virtual bool ScoresNumbers() const { return true; }
};

// A measure of the daily calculated runoff against the observed that takes
// the place of ObjectiveType's, for searches beside velm's own.
using DailyMeasure = std::function<double(std::span<const double> observed,
                                          std::span<const double> calculated)>;

// What the objective computes and reports: the control file's settings, and
// what a caller asks beyond them.
struct ObjectiveSettings {
  // 1: each evaluation reports its fit; 2: f is the ordering rules' penalty
  // alone, and nothing is simulated.
  int OutputFlag = 0;
  int ObjectiveType = 1;
  double BalanceErrorLimit = 0.0;
  // Empty: the measure ObjectiveType selects. Called from several threads.
  DailyMeasure Measure = {};
  // Simulate the record up to its last fit day only, with the whole record's
  // warm-up pass: the model runs forward and the fit counts fit days alone,
  // so the days after the last one change no f, and a record observed only
  // in its first part costs that part.
  bool EndAtLastFitDay = false;
};

// What one evaluation reads. Shared read-only by the threads of a batch; a
// view of what its owner keeps.
struct EvaluationContext {
  const ParameterSet& FileParameters;  // the upper bounds the genes scale
  const GeneMap& Map;
  Forcing Weather;
  std::span<const double> DailyRain;
  std::span<const double> DailyObserved;  // not read with output flag 2
  ObjectiveSettings Settings;
};

// f of one gene vector: the parameter file's values scaled by the genes,
// one simulation, the measure ObjectiveType selects plus the ordering rules'
// penalty. With output flag 1 the fit goes to `fit`. `scratch` holds a
// simulation's daily outputs; nothing else is written.
double EvaluateObjective(const EvaluationContext& context, const Genes& x,
                         DailyOutputs& scratch,
                         std::optional<FitMeasures>* fit = nullptr);

// The runoff model as the calibration's objective. As f depends on the genes
// alone, f is kept for the whole run by the genes' exact bits and a repeat is
// not simulated again. The new gene vectors of a batch are evaluated in
// parallel, one scratch per thread; results and reports come out as if
// evaluated one after another. It keeps what it reads: the parameter file's
// values and the gene map by value, the weather and the observed runoff
// shared.
class ModelObjective final : public Objective {
 public:
  // The observed runoff is asked for once, before the first evaluation that
  // needs it, so that a bad observed-runoff file is reported where an
  // evaluation first reads it. With output flag 1 each evaluation's fit goes
  // to `progress`. `threadCount` 0 takes OpenMP's thread count; any other
  // value is used for this objective's batches alone, leaving the process's
  // OpenMP settings as they are.
  ModelObjective(ParameterSet fileParameters, GeneMap map,
                 std::shared_ptr<const Weather> weather, bool surfaceStorage,
                 std::function<std::shared_ptr<const ObservedRunoff>()> observed,
                 ObjectiveSettings settings, ProgressSink* progress = nullptr,
                 int threadCount = 0);
  ModelObjective(const ModelObjective&) = delete;
  ModelObjective& operator=(const ModelObjective&) = delete;

  void Evaluate(std::span<const Genes* const> genes,
                std::span<double> f) override;
  // Without an observed day above 0 there is no fit day, and every fit
  // measure is 0/0; the ordering rules' penalty alone is always a number.
  bool ScoresNumbers() const override;

  // Gene vectors scored, and the simulations that took.
  struct Counts {
    long Evaluations = 0;
    long Simulations = 0;
    bool operator==(const Counts&) const = default;
  };
  const Counts& EvaluationCounts() const { return counts_; }

 private:
  struct Pending;
  EvaluationContext Context() const;
  void EvaluateNew(std::vector<Pending>& fresh);
  void EvaluateSideBySide(const EvaluationContext& context,
                          std::span<Pending> items,
                          std::span<DailyOutputs> scratch);

  ParameterSet fileParameters_;
  GeneMap map_;
  std::shared_ptr<const Weather> weather_;
  bool surfaceStorage_;
  std::function<std::shared_ptr<const ObservedRunoff>()> readObserved_;
  std::shared_ptr<const ObservedRunoff> observed_;
  ObjectiveSettings settings_;
  ProgressSink* progress_;
  int threadCount_;
  std::vector<DailyOutputs> scratch_;  // one per set a thread simulates
  EvaluationCache cache_;
  Counts counts_;
};

}  // namespace velm
