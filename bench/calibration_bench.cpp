// A whole calibration search of the calibration sample (29460 evaluations)
// in process: wall time, the gene vectors scored against the simulations
// actually run, and the time per simulated hour. OMP_NUM_THREADS or taskset
// choose the threads. `tick` seconds pass at every reading of the clock: 0
// is a frozen clock, under which most gene vectors repeat; 1 the counting
// clock of VELM_SEED, under which nearly every one is new. `years`: the
// sample's year repeated.

#include <benchmark/benchmark.h>

#include "sample.h"

namespace {

void CalibrateSample(benchmark::State& state) {
  const auto tick = static_cast<std::time_t>(state.range(0));
  const auto sample = velm::bench::LoadSample(static_cast<int>(state.range(1)));
  velm::ModelObjective::Counts counts;
  for (auto _ : state) counts = velm::bench::Calibrate(sample, tick, 29460);
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
