#include "optimizer/objective.h"

#include <omp.h>

#include <algorithm>
#include <array>
#include <optional>
#include <exception>
#include <unordered_map>

#include "results/fit.h"

namespace velm {

namespace {

// What an evaluation knows before it simulates: the genes' parameter set and
// the ordering rules' penalty.
struct ScaledSet {
  ParameterSet Parameters;
  double Penalty;
};

ScaledSet ScaleGenes(const EvaluationContext& context, const Genes& x) {
  ScaledSet scaled{context.FileParameters, 0.0};
  context.Map.Apply(scaled.Parameters, x);
  scaled.Penalty = ConstraintPenalty(scaled.Parameters);
  return scaled;
}

// f of a simulation's daily outputs; the fit with output flag 1.
double Score(const EvaluationContext& context, double penalty,
             const DailyOutputs& simulated, std::optional<FitMeasures>* kept) {
  const FitMeasures fit = MeasureFit({.CalcQ = simulated.CalcQ,
                                      .Rain = context.DailyRain,
                                      .PotentialE = {},
                                      .ActualE = simulated.ActualE,
                                      .ObservedQ = context.DailyObserved});
  const ObjectiveSettings& settings = context.Settings;
  if (settings.OutputFlag == 1 && kept != nullptr) *kept = fit;
  const double measure =
      settings.Measure
          ? settings.Measure(context.DailyObserved, simulated.CalcQ)
          : SelectedMeasure(fit, settings.ObjectiveType,
                            settings.BalanceErrorLimit);
  return measure + penalty;
}

// The sets a thread simulates side by side (see Simulate): two keep the
// processor busiest on the step's chains of dependent operations.
constexpr std::size_t kLanesPerThread = 2;

// The context cut after its last fit day, keeping the whole record's warm-up
// pass; as it is when the pass reaches past that day or no day is a fit day.
void EndAtLastFitDay(EvaluationContext& context) {
  const std::span<const double> observed = context.DailyObserved;
  const auto lastFit = std::find_if(observed.rbegin(), observed.rend(), IsFitDay);
  const int hours = static_cast<int>(context.Weather.Rain.size());
  const int warmUp = WarmUpSteps(hours);
  const int days = std::max(static_cast<int>(observed.rend() - lastFit),
                            (warmUp + kHoursPerDay - 1) / kHoursPerDay);
  if (lastFit == observed.rend() ||
      days >= static_cast<int>(context.DailyRain.size())) {
    return;
  }
  const auto steps = static_cast<std::size_t>(days * kHoursPerDay);
  const auto dayCount = static_cast<std::size_t>(days);
  context.Weather.Rain = context.Weather.Rain.first(steps);
  context.Weather.PotentialE = context.Weather.PotentialE.first(steps);
  context.Weather.WarmUpHours = warmUp;
  context.DailyRain = context.DailyRain.first(dayCount);
  context.DailyObserved = observed.first(dayCount);
}

}  // namespace

double EvaluateObjective(const EvaluationContext& context, const Genes& x,
                         DailyOutputs& scratch,
                         std::optional<FitMeasures>* fit) {
  const ScaledSet scaled = ScaleGenes(context, x);
  // Nothing reads the simulation when f is the penalty alone.
  if (context.Settings.OutputFlag == 2) return scaled.Penalty;
  Simulate(scaled.Parameters, context.Weather, scratch);
  return Score(context, scaled.Penalty, scratch, fit);
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
    ParameterSet fileParameters, GeneMap map,
    std::shared_ptr<const Weather> weather, bool surfaceStorage,
    std::function<std::shared_ptr<const ObservedRunoff>()> observed,
    ObjectiveSettings settings, ProgressSink* progress, int threadCount)
    : fileParameters_(std::move(fileParameters)),
      map_(std::move(map)),
      weather_(std::move(weather)),
      surfaceStorage_(surfaceStorage),
      readObserved_(std::move(observed)),
      settings_(settings),
      progress_(progress),
      threadCount_(
          std::max(1, threadCount > 0 ? threadCount : omp_get_max_threads())),
      scratch_(static_cast<std::size_t>(threadCount_) * kLanesPerThread) {}

EvaluationContext ModelObjective::Context() const {
  EvaluationContext context{
      fileParameters_,
      map_,
      {weather_->Rain, weather_->PotentialE, surfaceStorage_},
      weather_->DailyRain,
      observed_ ? std::span<const double>(observed_->Daily)
                : std::span<const double>(),
      settings_};
  if (settings_.EndAtLastFitDay) EndAtLastFitDay(context);
  return context;
}

void ModelObjective::Evaluate(std::span<const Genes* const> genes,
                              std::span<double> f) {
  using Key = EvaluationCache::Key;
  const int variableCount = map_.VariableCount();
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
    if (entry->Fit && progress_ != nullptr) progress_->Evaluated(*entry->Fit);
    ++counts_.Evaluations;
  }
  for (Pending& computed : fresh) {
    cache_.Insert(computed.Key, std::move(computed.Result));
  }
}

bool ModelObjective::ScoresNumbers() const {
  if (settings_.OutputFlag == 2) return true;
  return observed_ != nullptr && std::any_of(observed_->Daily.begin(),
                                             observed_->Daily.end(), IsFitDay);
}

void ModelObjective::EvaluateNew(std::vector<Pending>& fresh) {
  if (fresh.empty()) return;
  // The observed runoff is read here, where one thread would first have read
  // it, so that a bad file is reported there; inside the parallel part
  // nothing is read.
  if (settings_.OutputFlag != 2) {
    if (!observed_) observed_ = readObserved_();
    counts_.Simulations += static_cast<long>(fresh.size());
  }
  const EvaluationContext context = Context();
  const std::size_t count = fresh.size();
  const auto groups =
      static_cast<std::ptrdiff_t>((count + kLanesPerThread - 1) / kLanesPerThread);
#pragma omp parallel for schedule(dynamic) if (groups > 1) \
    num_threads(threadCount_)
  for (std::ptrdiff_t g = 0; g < groups; ++g) {
    const std::size_t first = static_cast<std::size_t>(g) * kLanesPerThread;
    const std::span<DailyOutputs> scratch(
        scratch_.data() + static_cast<std::size_t>(omp_get_thread_num()) *
                              kLanesPerThread,
        kLanesPerThread);
    EvaluateSideBySide(
        context,
        std::span(fresh).subspan(first, std::min(kLanesPerThread, count - first)),
        scratch);
  }
}

// The items' simulations run side by side; each item gets its f, its report
// or the error its evaluation alone would have raised.
void ModelObjective::EvaluateSideBySide(const EvaluationContext& context,
                                        std::span<Pending> items,
                                        std::span<DailyOutputs> scratch) {
  std::array<std::optional<ScaledSet>, kLanesPerThread> scaled;
  std::array<const ParameterSet*, kLanesPerThread> sets{};
  std::array<DailyOutputs*, kLanesPerThread> outputs{};
  std::array<std::size_t, kLanesPerThread> itemOf{};
  std::size_t lanes = 0;
  for (std::size_t n = 0; n < items.size(); ++n) {
    Pending& item = items[n];
    try {
      scaled[n] = ScaleGenes(context, *item.X);
      if (context.Settings.OutputFlag == 2) {
        item.Result.f = scaled[n]->Penalty;
        continue;
      }
      sets[lanes] = &scaled[n]->Parameters;
      outputs[lanes] = &scratch[lanes];
      itemOf[lanes++] = n;
    } catch (...) {
      item.Error = std::current_exception();
    }
  }
  if (lanes == 0) return;
  try {
    Simulate(std::span(sets.data(), lanes), context.Weather,
             std::span(outputs.data(), lanes));
  } catch (...) {
    for (std::size_t l = 0; l < lanes; ++l) {
      items[itemOf[l]].Error = std::current_exception();
    }
    return;
  }
  for (std::size_t l = 0; l < lanes; ++l) {
    Pending& item = items[itemOf[l]];
    try {
      item.Result.f = Score(context, scaled[itemOf[l]]->Penalty, *outputs[l],
                            &item.Result.Fit);
    } catch (...) {
      item.Error = std::current_exception();
    }
  }
}

}  // namespace velm
