#include "run/calibration.h"

#include <algorithm>
#include <stdexcept>

#include "optimizer/bounds_check.h"
#include "optimizer/dds.h"
#include "optimizer/operators.h"

namespace velm {
namespace {

GeneMap MapOf(const RunSettings& s) {
  return GeneMap(s.VariableCount, s.OptIndex);
}

ObjectiveSettings ObjectiveOf(const RunSettings& s) {
  return {s.OutputFlag, s.ObjectiveType, s.BalanceErrorLimit, {}, false};
}

Genes GenesOf(const CatchmentData& data, std::span<const double> genes) {
  const auto n = static_cast<std::size_t>(std::max(0, data.Settings.VariableCount));
  if (genes.size() != n) {
    throw std::invalid_argument(
        "genes must hold X[1]..X[n], n = VariableCount = " + std::to_string(n) +
        ", not " + std::to_string(genes.size()) + " values");
  }
  Genes x{};
  std::copy(genes.begin(), genes.end(), x.begin() + 1);
  return x;
}

}  // namespace

std::span<const double> CalibrationOutcome::Genes() const {
  return std::span(Record.Best.X)
      .subspan(1, static_cast<std::size_t>(
                      std::clamp(VariableCount, 0, kSlotCount - 1)));
}

std::vector<std::string> CalibrationWarnings(const CatchmentData& data) {
  const GeneMap map = MapOf(data.Settings);
  return BoundsWarnings(CheckBounds(data.Parameters, map), map.VariableCount());
}

CalibrationOutcome Calibrate(const CatchmentData& data,
                             const CalibrationOptions& options,
                             ProgressSink& progress) {
  const RunSettings& s = data.Settings;
  if (s.OutputFlag != 2) data.RequireObserved();
  const GeneMap map = MapOf(s);
  progress.Started(data.Parameters);
  ObjectiveSettings objectiveSettings = ObjectiveOf(s);
  objectiveSettings.Measure = options.Measure;
  objectiveSettings.EndAtLastFitDay = options.EndAtLastFitDay;
  ModelObjective objective(data.Parameters, map, data.WeatherRecord,
                           s.SurfaceStorageFlag == 1, data.Observed,
                           std::move(objectiveSettings), &progress,
                           options.ThreadCount);
  CalibrationOutcome outcome;
  outcome.VariableCount = s.VariableCount;
  const Clock clock =
      options.Seed ? SeedClock(*options.Seed) : options.SearchClock;
  if (options.Search == SearchKind::kEvolution) {
    outcome.Record =
        Optimizer(s.VariableCount, s.FcountLimit, clock).Run(objective, progress);
  } else {
    const auto seed = static_cast<std::uint32_t>(
        options.Seed ? *options.Seed : options.SearchClock());
    const DdsRecord record =
        DynamicallyDimensionedSearch(s.VariableCount,
                                     std::max(s.FcountLimit, EpochEvaluations()),
                                     seed)
            .Run(objective);
    outcome.Record.Best = record.Best;
    outcome.Record.Fcount = record.Evaluations;
  }
  outcome.Counts = objective.EvaluationCounts();

  // The best genes simulated for the result; the f reported is the one the
  // search stored.
  const Individual& best = outcome.Record.Best;
  ParameterSet scaled = data.Parameters;
  map.Apply(scaled, best.X);
  outcome.Best = SimulateCatchment(data, scaled, true);
  progress.Finished({outcome.Best.Parameters, best.f, outcome.Genes(),
                     outcome.Best.Rows(), outcome.Best.Fit});
  outcome.Problems = ResultProblems(best.X, best.f, data.Parameters, map);
  return outcome;
}

ParameterSet ApplyGenes(const CatchmentData& data,
                        std::span<const double> genes) {
  ParameterSet scaled = data.Parameters;
  MapOf(data.Settings).Apply(scaled, GenesOf(data, genes));
  return scaled;
}

double ScoreGenes(const CatchmentData& data, std::span<const double> genes) {
  const RunSettings& s = data.Settings;
  const Genes x = GenesOf(data, genes);
  std::shared_ptr<const ObservedRunoff> observed;
  if (s.OutputFlag != 2) observed = data.RequireObserved();
  const double penalty = ChildBoundsPenalty(x, s.VariableCount + 1);
  if (penalty != 0.0) return penalty;
  const Weather& w = *data.WeatherRecord;
  const GeneMap map = MapOf(s);
  const EvaluationContext context{
      data.Parameters,
      map,
      {w.Rain, w.PotentialE, s.SurfaceStorageFlag == 1},
      w.DailyRain,
      observed ? std::span<const double>(observed->Daily)
               : std::span<const double>(),
      ObjectiveOf(s)};
  DailyOutputs scratch;
  return EvaluateObjective(context, x, scratch);
}

}  // namespace velm
