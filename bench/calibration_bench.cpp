// A whole calibration search of the sample catchment (FcountLimit 29460,
// output flag 0) in process: wall time, and the gene vectors scored against
// the simulations actually run. OMP_NUM_THREADS or taskset choose the
// threads.

#include <benchmark/benchmark.h>

#include <sstream>

#include "input/run_inputs.h"
#include "optimizer/optimizer.h"

namespace {

// `tick` seconds pass at every reading of the clock: 0 is the frozen clock
// of the end-to-end comparisons, under which most gene vectors repeat; 1
// makes nearly every one new, the same ones on every run.
void CalibrateSample(benchmark::State& state) {
  const auto tick = static_cast<std::time_t>(state.range(0));
  velm::RunInputs inputs(VELM_SAMPLE_DIR);
  const velm::RunSettings& settings = inputs.Settings();
  const velm::Weather& weather = inputs.WeatherRecord();
  const velm::GeneMap map(settings);
  const velm::Forcing forcing{weather.Rain, weather.PotentialE,
                              settings.SurfaceStorageFlag == 1};
  std::ostringstream sink;
  velm::ModelObjective::Counts counts;
  for (auto _ : state) {
    velm::ModelObjective objective(
        inputs.FileParameters(), map, forcing, weather.DailyRain,
        [&] { return std::span<const double>(inputs.Observed().Daily); },
        {0, settings.ObjectiveType, settings.BalanceErrorLimit}, sink);
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
}
BENCHMARK(CalibrateSample)
    ->ArgName("tick")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
