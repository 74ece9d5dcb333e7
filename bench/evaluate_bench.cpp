// The cost of one calibration evaluation on the sample catchment: the
// parameters scaled, one simulation kept as daily totals, the daily fit; on
// the sample's year and on the year repeated 30 times, so that the cost per
// step of a long record can be compared with a short one's.

#include <benchmark/benchmark.h>

#include <vector>

#include "input/run_inputs.h"
#include "optimizer/objective.h"

namespace {

std::vector<double> Repeated(const std::vector<double>& values, int times) {
  std::vector<double> out;
  for (int t = 0; t < times; ++t) {
    out.insert(out.end(), values.begin(), values.end());
  }
  return out;
}

void EvaluateSampleCatchment(benchmark::State& state) {
  const auto years = static_cast<int>(state.range(0));
  velm::RunInputs inputs(VELM_SAMPLE_DIR);
  const velm::Weather& weather = inputs.WeatherRecord();
  const std::vector<double> rain = Repeated(weather.Rain, years);
  const std::vector<double> demand = Repeated(weather.PotentialE, years);
  const std::vector<double> dailyRain = Repeated(weather.DailyRain, years);
  const std::vector<double> observed =
      Repeated(inputs.Observed().Daily, years);
  const velm::GeneMap map(inputs.Settings());
  const velm::EvaluationContext context{
      inputs.FileParameters(), map, {rain, demand, false}, dailyRain,
      observed,                {0, 1, 0.0}};
  velm::Genes x{};
  x.fill(0.8);
  velm::DailyOutputs scratch;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        velm::EvaluateObjective(context, x, scratch, nullptr));
  }
  const double stepsPerRun =
      velm::WarmUpSteps(static_cast<int>(rain.size())) +
      static_cast<double>(rain.size());
  state.counters["time_per_step"] = benchmark::Counter(
      stepsPerRun, benchmark::Counter::kIsIterationInvariantRate |
                       benchmark::Counter::kInvert);
}
BENCHMARK(EvaluateSampleCatchment)
    ->ArgName("years")
    ->Arg(1)
    ->Arg(30)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
