// The cost of one calibration evaluation on the sample catchment: the
// parameters reset and scaled, one simulation, the observed-runoff file read
// again and the daily fit.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "model/runoff_model.h"
#include "results/objective.h"

namespace {

void EvaluateSampleCatchment(benchmark::State& state) {
  // The fit reads the observed runoff from the working directory.
  std::filesystem::current_path(VELM_SAMPLE_DIR);
  velm::RunoffModel model;
  velm::Genes x{};
  x.fill(0.8);
  for (auto _ : state) {
    benchmark::DoNotOptimize(velm::EvaluateObjective(model, x, 0));
  }
}
BENCHMARK(EvaluateSampleCatchment)->Unit(benchmark::kMicrosecond);

}  // namespace
