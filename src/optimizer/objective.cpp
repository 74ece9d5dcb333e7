#include "optimizer/objective.h"

#include <omp.h>

#include <algorithm>
#include <exception>
#include <sstream>
#include <unordered_map>

#include "results/fit.h"

namespace velm {

double EvaluateObjective(const EvaluationContext& context, const Genes& x,
                         DailyOutputs& scratch, std::string* report) {
  ParameterSet parameters = context.FileParameters;
  context.Map.Apply(parameters, x);
  const double penalty = ConstraintPenalty(parameters);
  const ObjectiveSettings& settings = context.Settings;
  // Nothing reads the simulation when f is the penalty alone.
  if (settings.OutputFlag == 2) return penalty;
  Simulate(parameters, context.Weather, scratch);
  const FitMeasures fit = MeasureFit({.CalcQ = scratch.CalcQ,
                                      .Rain = context.DailyRain,
                                      .PotentialE = {},
                                      .ActualE = scratch.ActualE,
                                      .ObservedQ = context.DailyObserved});
  if (settings.OutputFlag == 1 && report != nullptr) {
    std::ostringstream text;
    TextWriter console(text, LineEnd::kLf);
    WriteFitReport(console, fit, settings.ObjectiveType);
    *report = std::move(text).str();
  }
  return SelectedMeasure(fit, settings.ObjectiveType,
                         settings.BalanceErrorLimit) +
         penalty;
}

// A gene vector of a batch that the cache does not hold: evaluated once,
// however often it comes up in the batch.
struct ModelObjective::Pending {
  EvaluationCache::Key Key;
  const Genes* X;
  EvaluationCache::Entry Result;
  std::exception_ptr Error;
};

ModelObjective::ModelObjective(
    const ParameterSet& fileParameters, const GeneMap& map, Forcing weather,
    std::span<const double> dailyRain,
    std::function<std::span<const double>()> observedDays,
    ObjectiveSettings settings, std::ostream& console, int threadCount)
    : context_{fileParameters, map, weather, dailyRain, {}, settings},
      observedDays_(std::move(observedDays)),
      console_(console),
      threadCount_(
          std::max(1, threadCount > 0 ? threadCount : omp_get_max_threads())),
      scratch_(static_cast<std::size_t>(threadCount_)) {}

void ModelObjective::Evaluate(std::span<const Genes* const> genes,
                              std::span<double> f) {
  using Key = EvaluationCache::Key;
  const int variableCount = context_.Map.VariableCount();
  // Each request is answered by the cache or by entry `source` of the
  // batch's new gene vectors.
  std::vector<Pending> fresh;
  std::unordered_map<Key, std::size_t, EvaluationCache::KeyHash> freshIndex;
  std::vector<std::size_t> source(genes.size());
  std::vector<const EvaluationCache::Entry*> cached(genes.size(), nullptr);
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const Key key = EvaluationCache::KeyOf(*genes[i], variableCount);
    cached[i] = cache_.Find(key);
    if (cached[i]) continue;
    const auto [at, added] = freshIndex.emplace(key, fresh.size());
    if (added) fresh.push_back({key, genes[i], {}, nullptr});
    source[i] = at->second;
  }
  EvaluateNew(fresh);

  // In request order, as one thread would have done it: the first failure
  // ends the run, reports are printed, new results are kept.
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const EvaluationCache::Entry* entry = cached[i];
    if (!entry) {
      const Pending& computed = fresh[source[i]];
      if (computed.Error) std::rethrow_exception(computed.Error);
      entry = &computed.Result;
    }
    f[i] = entry->f;
    if (!entry->Report.empty()) console_ << entry->Report << std::flush;
    ++counts_.Evaluations;
  }
  for (Pending& computed : fresh) {
    cache_.Insert(computed.Key, std::move(computed.Result));
  }
}

bool ModelObjective::ScoresNumbers() const {
  const std::span<const double> observed = context_.DailyObserved;
  return context_.Settings.OutputFlag == 2 ||
         std::any_of(observed.begin(), observed.end(), IsFitDay);
}

void ModelObjective::EvaluateNew(std::vector<Pending>& fresh) {
  if (fresh.empty()) return;
  // The observed runoff is read here, where one thread would first have read
  // it, so that a bad file is reported there; inside the parallel part
  // nothing is read.
  if (context_.Settings.OutputFlag != 2) {
    if (!observedRead_) {
      context_.DailyObserved = observedDays_();
      observedRead_ = true;
    }
    counts_.Simulations += static_cast<long>(fresh.size());
  }
  const auto count = static_cast<std::ptrdiff_t>(fresh.size());
#pragma omp parallel for schedule(dynamic) if (count > 1) \
    num_threads(threadCount_)
  for (std::ptrdiff_t n = 0; n < count; ++n) {
    Pending& item = fresh[static_cast<std::size_t>(n)];
    try {
      DailyOutputs& scratch =
          scratch_[static_cast<std::size_t>(omp_get_thread_num())];
      item.Result.f =
          EvaluateObjective(context_, *item.X, scratch, &item.Result.Report);
    } catch (...) {
      item.Error = std::current_exception();
    }
  }
}

}  // namespace velm
