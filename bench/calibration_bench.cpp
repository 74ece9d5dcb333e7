// A whole calibration of the sample catchment (FcountLimit 29460, output
// flag 0) in process: wall time, and the gene vectors
// scored against the simulations actually run. OMP_NUM_THREADS or taskset
// choose the threads.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "optimizer/optimizer.h"

namespace {

namespace fs = std::filesystem;

// The sample with calibration mode and output flag 0 in a fresh directory.
fs::path CalibrationCase() {
  const fs::path dir = fs::temp_directory_path() / "velm-calibration-bench";
  fs::remove_all(dir);
  fs::copy(VELM_SAMPLE_DIR, dir);
  std::ifstream in(dir / "control.dat", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  lines[4] = "1\r";  // run mode: calibration
  lines[8] = "0\r";  // output flag 0
  std::ofstream out(dir / "control.dat", std::ios::binary);
  for (const std::string& line : lines) out << line << '\n';
  return dir;
}

// `tick` seconds pass at every reading of the clock: 0 is the frozen clock
// of the end-to-end comparisons, under which most gene vectors repeat; 1
// makes nearly every one new, the same ones on every run.
void CalibrateSample(benchmark::State& state) {
  const auto tick = static_cast<std::time_t>(state.range(0));
  const fs::path previous = fs::current_path();
  const fs::path dir = CalibrationCase();
  fs::current_path(dir);
  std::ostringstream sink;
  std::streambuf* console = std::cout.rdbuf(sink.rdbuf());
  velm::CalibrationRecord record;
  for (auto _ : state) {
    // From 2026-01-01 00:00:00 UTC.
    std::time_t now = 1767225600;
    velm::Optimizer optimizer([&] { return (now += tick) - tick; });
    optimizer.Run(0);
    record = optimizer.Record();
    sink.str("");
  }
  std::cout.rdbuf(console);
  fs::current_path(previous);
  fs::remove_all(dir);
  state.counters["evaluations"] = static_cast<double>(record.Evaluations);
  state.counters["simulations"] = static_cast<double>(record.Simulations);
}
BENCHMARK(CalibrateSample)
    ->ArgName("tick")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
