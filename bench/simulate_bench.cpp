// The cost of one calibration evaluation's simulation, per hourly step, on
// the sample catchment.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "model/runoff_model.h"

namespace {

void SimulateSampleCatchment(benchmark::State& state) {
  // The model reads its files while it is built; Simulate(1) reads none.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(VELM_SAMPLE_DIR);
  velm::RunoffModel model;
  std::filesystem::current_path(previous);

  // Each run starts from the file's tank depths, as an evaluation does: left
  // to drain run after run they would sink into subnormal numbers.
  const std::vector<double> startDepths = model.Parameters.TankWaterDepth;
  for (auto _ : state) {
    std::copy(startDepths.begin(), startDepths.end(),
              model.Parameters.TankWaterDepth.begin());
    model.Simulate(1);
    benchmark::DoNotOptimize(model.CalcQ.data());
    benchmark::ClobberMemory();
  }

  const double stepsPerRun = model.WarmUpSteps() + model.HourCount;
  state.counters["steps_per_run"] = stepsPerRun;
  // Seconds per step of the warm-up and main passes together.
  state.counters["time_per_step"] = benchmark::Counter(
      stepsPerRun, benchmark::Counter::kIsIterationInvariantRate |
                       benchmark::Counter::kInvert);
}
BENCHMARK(SimulateSampleCatchment)->Unit(benchmark::kMicrosecond);

}  // namespace
