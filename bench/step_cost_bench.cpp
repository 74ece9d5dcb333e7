// The cost per hourly step of long records against short ones, on any
// calibration directory: its record, and the record repeated to 10 and to 30
// years.
//
//   velm_step_bench [benchmark flags] CASE_DIR...
//
// For each directory: one objective evaluation with the calibration's genes
// all 0.5; the 20 random valid parameter sets of sample.h evaluated one
// after another; and a whole calibration search on a frozen clock (`tick`
// 0) or a clock one second later at every reading (`tick` 1, under which
// nearly every gene vector is new), in process; its threads are OpenMP's
// (OMP_NUM_THREADS, taskset). time_per_step is the time per simulated hour,
// warm-up included; evaluations_per_second counts the simulations a search
// runs. The searches named Search run on one thread and count its CPU time,
// which other processes on the core do not inflate: the whole search on the
// record once, and on every record its first kFirstEvaluations gene vectors
// (the sub-populations initialised and stepped once each, the first
// generation of the first epoch), a figure that a 30-year record gives in
// seconds where its whole search takes minutes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sample.h"

namespace {

constexpr double kHoursPerYear = 8760;
constexpr long kFirstEvaluations =
    velm::Optimizer::kSubPopulationCount *
    (velm::Generation::kParentCount + velm::Generation::kChildCount);

benchmark::Counter PerStep(double steps) {
  return benchmark::Counter(steps,
                            benchmark::Counter::kIsIterationInvariantRate |
                                benchmark::Counter::kInvert);
}

void Evaluate(benchmark::State& state, const velm::bench::Sample& sample,
              const std::vector<velm::bench::Evaluation>& sets) {
  velm::DailyOutputs scratch;
  for (auto _ : state) {
    for (const velm::bench::Evaluation& set : sets) {
      benchmark::DoNotOptimize(set.Run(scratch));
    }
  }
  state.counters["time_per_step"] =
      PerStep(sample.StepsPerSimulation() * static_cast<double>(sets.size()));
}

// The whole search (evaluations 0) or its first `evaluations` gene vectors.
void Search(benchmark::State& state, const velm::bench::Sample& sample,
            std::time_t tick, long evaluations) {
  velm::ModelObjective::Counts counts;
  for (auto _ : state) {
    counts = evaluations == 0
                 ? velm::bench::Calibrate(sample, tick,
                                          sample.Settings.FcountLimit)
                 : velm::bench::CalibrateFirst(sample, tick, evaluations);
  }
  const auto simulations = static_cast<double>(counts.Simulations);
  state.counters["simulations"] = simulations;
  state.counters["time_per_step"] =
      PerStep(simulations * sample.StepsPerSimulation());
  state.counters["evaluations_per_second"] = benchmark::Counter(
      simulations, benchmark::Counter::kIsIterationInvariantRate);
}

// The record once, and repeated to 10 and to 30 years.
std::vector<int> Repetitions(const velm::bench::Sample& once) {
  const double years =
      std::max(1.0, std::round(static_cast<double>(once.Rain.size()) /
                               kHoursPerYear));
  std::vector<int> times{1};
  for (const double total : {10.0, 30.0}) {
    const int n = static_cast<int>(std::round(total / years));
    if (n > times.back()) times.push_back(n);
  }
  return times;
}

void Register(const std::string& directory,
              std::vector<std::unique_ptr<velm::bench::Sample>>& samples,
              std::vector<std::vector<velm::bench::Evaluation>>& sets) {
  const std::string name =
      std::filesystem::path(directory).filename().string();
  const auto once = velm::bench::LoadSample(directory.c_str(), 1);
  for (const int times : Repetitions(once)) {
    samples.push_back(std::make_unique<velm::bench::Sample>(
        velm::bench::LoadSample(directory.c_str(), times)));
    const velm::bench::Sample& sample = *samples.back();
    const std::string suffix = name + "/times:" + std::to_string(times);
    sets.push_back({velm::bench::HalfGenes(sample)});
    const auto& half = sets.back();
    benchmark::RegisterBenchmark(
        ("Evaluate/genes:half/" + suffix).c_str(),
        [&sample, &half](benchmark::State& s) { Evaluate(s, sample, half); })
        ->Unit(benchmark::kMicrosecond);
    sets.emplace_back();
    for (const velm::ParameterSet& p :
         velm::bench::RandomValidSets(sample.Parameters, 20, 29)) {
      sets.back().push_back(velm::bench::Unscaled(sample, p));
    }
    const auto& random = sets.back();
    benchmark::RegisterBenchmark(
        ("Evaluate/random:20/" + suffix).c_str(),
        [&sample, &random](benchmark::State& s) {
          Evaluate(s, sample, random);
        })
        ->Unit(benchmark::kMillisecond);
    for (const std::time_t tick : {0, 1}) {
      benchmark::RegisterBenchmark(
          ("Calibrate/tick:" + std::to_string(tick) + "/" + suffix).c_str(),
          [&sample, tick](benchmark::State& s) { Search(s, sample, tick, 0); })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1)
          ->UseRealTime();
    }
    for (const long evaluations : {0L, kFirstEvaluations}) {
      if (evaluations == 0 && times > 1) continue;
      benchmark::RegisterBenchmark(
          ("Search/tick:1/evaluations:" +
           (evaluations == 0 ? std::string("all")
                             : std::to_string(evaluations)) +
           "/" + suffix)
              .c_str(),
          [&sample, evaluations](benchmark::State& s) {
            Search(s, sample, 1, evaluations);
          })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::fputs("usage: velm_step_bench [benchmark flags] CASE_DIR...\n",
               stderr);
    return 2;
  }
  // Every sample stays where its benchmarks find it until the end.
  std::vector<std::unique_ptr<velm::bench::Sample>> samples;
  std::vector<std::vector<velm::bench::Evaluation>> sets;
  sets.reserve(static_cast<std::size_t>(argc) * 8);
  for (int i = 1; i < argc; ++i) Register(argv[i], samples, sets);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
