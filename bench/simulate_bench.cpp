// The cost of a simulation per hourly step on the sample catchment, with
// hourly outputs (a simulation run) and with daily totals only (a
// calibration's evaluation), against the bare kernel's.

#include <benchmark/benchmark.h>

#include "input/run_inputs.h"
#include "model/simulate.h"

namespace {

template <typename Outputs>
void SimulateSampleCatchment(benchmark::State& state) {
  velm::RunInputs inputs(VELM_SAMPLE_DIR);
  const velm::Weather& weather = inputs.WeatherRecord();
  const velm::ParameterSet& p = inputs.FileParameters();
  const velm::Forcing forcing{weather.Rain, weather.PotentialE, false};
  Outputs outputs;
  for (auto _ : state) {
    velm::Simulate(p, forcing, outputs);
    benchmark::DoNotOptimize(outputs.CalcQ.data());
    benchmark::ClobberMemory();
  }
  const int hours = weather.HourCount();
  const double stepsPerRun = velm::WarmUpSteps(hours) + hours;
  state.counters["time_per_step"] = benchmark::Counter(
      stepsPerRun, benchmark::Counter::kIsIterationInvariantRate |
                       benchmark::Counter::kInvert);
}
BENCHMARK(SimulateSampleCatchment<velm::HourlyOutputs>)
    ->Name("SimulateHourly")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(SimulateSampleCatchment<velm::DailyOutputs>)
    ->Name("SimulateDaily")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
