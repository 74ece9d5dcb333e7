// The cost of one calibration evaluation: the parameters scaled, one
// simulation kept as daily totals, the daily fit; on the calibration
// sample's year and on the year repeated 30 times.

#include <benchmark/benchmark.h>

#include "optimizer/objective.h"
#include "sample.h"

namespace {

void EvaluateSampleCatchment(benchmark::State& state) {
  const auto sample = velm::bench::LoadSample(static_cast<int>(state.range(0)));
  const velm::GeneMap map(sample.Settings.VariableCount,
                             sample.Settings.OptIndex);
  const velm::EvaluationContext context{
      sample.Parameters, map,
      sample.Weather(),  sample.DailyRain,
      sample.DailyObserved, {sample.Settings.OutputFlag, sample.Settings.ObjectiveType,
                             sample.Settings.BalanceErrorLimit}};
  velm::Genes x{};
  x.fill(0.5);
  velm::DailyOutputs scratch;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        velm::EvaluateObjective(context, x, scratch, nullptr));
  }
  state.counters["time_per_step"] = benchmark::Counter(
      sample.StepsPerSimulation(),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
}
BENCHMARK(EvaluateSampleCatchment)
    ->ArgName("years")
    ->Arg(1)
    ->Arg(30)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
