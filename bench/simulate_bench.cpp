// The cost of a simulation per hourly step on the sample catchment, with
// hourly outputs (a simulation run) and with daily totals only (a
// calibration's evaluation), against the bare kernel's.

#include <benchmark/benchmark.h>

#include "input/run_inputs.h"
#include "model/simulate.h"
#include "run/calibration.h"
#include "sample.h"

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

namespace {

// The latency floor against the throughput: `state.range(0)` simulations of
// the calibration sample's year side by side in one thread, each with the
// sample's genes 0.5, as the objective runs a batch's new gene vectors.
// time_per_step is per simulated hour of one set: with one set it is the
// step's chain of dependent operations, with more the processor overlaps
// the sets' chains until its units, not the chain, set the pace.
void SimulateSideBySide(benchmark::State& state) {
  const auto sample = velm::bench::LoadSample(1);
  const std::vector<double> genes(
      static_cast<std::size_t>(sample.Settings.VariableCount), 0.5);
  const velm::ParameterSet p = velm::ApplyGenes(sample.Data, genes);
  const auto lanes = static_cast<std::size_t>(state.range(0));
  std::vector<velm::DailyOutputs> outputs(lanes);
  std::vector<const velm::ParameterSet*> sets(lanes, &p);
  std::vector<velm::DailyOutputs*> into;
  for (velm::DailyOutputs& o : outputs) into.push_back(&o);
  for (auto _ : state) {
    velm::Simulate(sets, sample.Weather(), into);
    benchmark::DoNotOptimize(outputs.front().CalcQ.data());
    benchmark::ClobberMemory();
  }
  state.counters["time_per_step"] = benchmark::Counter(
      sample.StepsPerSimulation() * static_cast<double>(lanes),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
}
BENCHMARK(SimulateSideBySide)
    ->ArgName("sets")
    ->DenseRange(1, static_cast<int>(velm::kMaxLanes))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
