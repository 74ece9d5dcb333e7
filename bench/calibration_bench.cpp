// A whole calibration search of the calibration sample (29460 evaluations)
// in process: wall time, the gene vectors scored against the simulations
// actually run, and the time per simulated hour. OMP_NUM_THREADS or taskset
// choose the threads. `tick` seconds pass at every reading of the clock: 0
// is a frozen clock, under which most gene vectors repeat; 1 the counting
// clock of VELM_SEED, under which nearly every one is new. `years`: the
// sample's year repeated.

#include <benchmark/benchmark.h>

#include <sstream>

#include "optimizer/optimizer.h"
#include "sample.h"

namespace {

void CalibrateSample(benchmark::State& state) {
  const auto tick = static_cast<std::time_t>(state.range(0));
  const auto sample = velm::bench::LoadSample(static_cast<int>(state.range(1)));
  const velm::RunSettings& settings = sample.Settings;
  const velm::GeneMap map(settings);
  std::ostringstream sink;
  velm::ModelObjective::Counts counts;
  for (auto _ : state) {
    velm::ModelObjective objective(
        sample.Parameters, map, sample.Weather(), sample.DailyRain,
        [&] { return std::span<const double>(sample.DailyObserved); },
        velm::ObjectiveSettings::Of(settings), sink);
    velm::ProgressReport report(sink, sink, false, settings.VariableCount);
    // From 2026-01-01 00:00:00 UTC.
    std::time_t now = 1767225600;
    velm::Optimizer(settings.VariableCount, 29460,
                    [&] { return (now += tick) - tick; })
        .Run(objective, report);
    counts = objective.EvaluationCounts();
    sink.str("");
  }
  state.counters["evaluations"] = static_cast<double>(counts.Evaluations);
  state.counters["simulations"] = static_cast<double>(counts.Simulations);
  // Wall time per simulated hour, warm-up included.
  state.counters["time_per_step"] = benchmark::Counter(
      static_cast<double>(counts.Simulations) * sample.StepsPerSimulation(),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
}
BENCHMARK(CalibrateSample)
    ->ArgNames({"tick", "years"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 30})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
