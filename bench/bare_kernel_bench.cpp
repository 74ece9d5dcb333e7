// The bare kernel's cost per hourly step on the sample catchment: the
// yardstick of Simulate's.

#include <benchmark/benchmark.h>

#include <vector>

#include "bare_kernel.h"
#include "input/run_inputs.h"

namespace {

void BareKernel(benchmark::State& state) {
  velm::RunInputs inputs(VELM_SAMPLE_DIR);
  const velm::Weather& weather = inputs.WeatherRecord();
  const velm::ParameterSet& p = inputs.FileParameters();
  const std::size_t hours = weather.Rain.size();
  std::vector<double> calcQ(hours), actualE(hours), capacity(hours + 1);
  std::vector<double> depths;
  for (auto _ : state) {
    velm::bench::BareSimulate(p, weather.Rain, weather.PotentialE, depths,
                              calcQ.data(), actualE.data(), capacity.data());
    benchmark::DoNotOptimize(calcQ.data());
    benchmark::ClobberMemory();
  }
  const double stepsPerRun = static_cast<double>(hours / 6 + hours);
  state.counters["time_per_step"] = benchmark::Counter(
      stepsPerRun, benchmark::Counter::kIsIterationInvariantRate |
                       benchmark::Counter::kInvert);
}
BENCHMARK(BareKernel)->Unit(benchmark::kMicrosecond);

}  // namespace
