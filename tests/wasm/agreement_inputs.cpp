// The inputs of the WebAssembly module's agreement test and what the same C
// interface, compiled natively with the core, gives for them, as JSON lines
// for agreement.mjs; every double travels as the 16 hex digits of its bits.
//
//   velm_wasm_agreement cases DIR RESULT ...   each laid-out case directory
//       whose control file runs a simulation, with velm's recorded result
//       file ("-": none), against which the native outputs are checked
//   velm_wasm_agreement random N DIR           N random parameter sets that
//       a calibration accepts, over DIR's record, from a fixed seed
//
// A line {"forcing": ...} carries a record's series; each following line
// {"test": ...} a run on it and the native outputs.

#include <bit>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "input/input_error.h"
#include "common/number_format.h"
#include "input/run_inputs.h"
#include "model/parameter_table.h"
#include "report/result_reader.h"
#include "results/scores.h"
#include "support/random_sets.h"
#include "wasm/model_interface.h"

namespace {

using velm::ParameterSet;
// The values velm_set_parameter sets, in its order.
constexpr const auto& kFileRows = velm::kRowsOf<velm::ParameterKind::kFileValue>;

std::string Hex(double value) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016" PRIx64,
                std::bit_cast<std::uint64_t>(value));
  return buffer;
}

std::string HexArray(const double* values, std::size_t count) {
  std::string out = "[";
  for (std::size_t i = 0; i < count; ++i) {
    out += (i ? ",\"" : "\"") + Hex(values[i]) + "\"";
  }
  return out + "]";
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text)
    out += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
  return out + "\"";
}

struct Run {
  int SurfaceStorage = 0;
  int WithObserved = 0;
  int ObjectiveType = 1;
  double BalanceErrorLimit = 0.0;
};

struct Record {
  std::vector<double> Rain, PotentialE, Observed;
};

void WriteForcing(const Record& r) {
  std::cout << "{\"forcing\":{\"rain\":"
            << HexArray(r.Rain.data(), r.Rain.size())
            << ",\"potentialEvaporation\":"
            << HexArray(r.PotentialE.data(), r.PotentialE.size())
            << ",\"observed\":"
            << HexArray(r.Observed.data(), r.Observed.size()) << "}}\n";
}

// One run through the C interface; returns its native outputs as JSON.
std::string Simulate(const Record& record, const Run& run,
                     const ParameterSet& p, VelmSession*& session) {
  session = velm_create(static_cast<int>(record.Rain.size()));
  std::copy(record.Rain.begin(), record.Rain.end(), velm_rain(session));
  std::copy(record.PotentialE.begin(), record.PotentialE.end(),
            velm_potential_evaporation(session));
  std::copy(record.Observed.begin(), record.Observed.end(),
            velm_observed(session));
  velm_set_run(session, run.SurfaceStorage, run.WithObserved, run.ObjectiveType,
               run.BalanceErrorLimit);
  for (int i = 0; i < velm_file_parameter_count(); ++i) {
    velm_set_parameter(session, i, p.*(kFileRows[i]->Value));
  }
  velm_set_tank_count(session, p.TankCount);
  for (int j = 1; j <= p.TankCount; ++j) {
    velm_set_tank(session, j, p.CoeffTank[j], p.BotomTank[j]);
  }
  const std::string rule = velm_broken_rule(session);
  if (velm_simulate(session) != 0) return "";
  const auto days = static_cast<std::size_t>(velm_days(session));
  std::string texts = "[";
  for (int k = 1; k < kVelmScoreValues; ++k) {
    texts += (k > 1 ? "," : "") + Quoted(velm_score_text(session, k));
  }
  return "{\"runoff\":" + HexArray(velm_daily_runoff(session), days) +
         ",\"actualEvaporation\":" +
         HexArray(velm_daily_actual_evaporation(session), days) +
         ",\"fit\":" + HexArray(velm_fit(session), kVelmFitValues) +
         ",\"scores\":" + HexArray(velm_scores(session), kVelmScoreValues) +
         ",\"scoreTexts\":" + texts + "],\"brokenRule\":" + Quoted(rule) + "}";
}

void WriteTest(const std::string& name, const Record& record, const Run& run,
               const ParameterSet& p, const std::string& resultFile) {
  VelmSession* session = nullptr;
  const std::string native = Simulate(record, run, p, session);
  velm_destroy(session);
  std::string values = "[";
  for (std::size_t i = 0; i < kFileRows.size(); ++i) {
    values += (i ? ",\"" : "\"") + Hex(p.*(kFileRows[i]->Value)) + "\"";
  }
  std::string tanks = "[";
  for (int j = 1; j <= p.TankCount; ++j) {
    tanks += (j > 1 ? ",[\"" : "[\"") + Hex(p.CoeffTank[j]) + "\",\"" +
             Hex(p.BotomTank[j]) + "\"]";
  }
  std::cout << "{\"test\":" << Quoted(name) << ",\"run\":["
            << run.SurfaceStorage << "," << run.WithObserved << ","
            << run.ObjectiveType << ",\"" << Hex(run.BalanceErrorLimit)
            << "\"],\"parameters\":" << values << "],\"tanks\":" << tanks
            << "],\"native\":" << (native.empty() ? "null" : native)
            << ",\"resultFile\":" << Quoted(resultFile) << "}\n";
}

Record RecordOf(velm::RunInputs& inputs, bool withObserved) {
  const velm::Weather& weather = inputs.WeatherRecord();
  Record record{weather.Rain, weather.PotentialE,
                std::vector<double>(weather.DailyRain.size(), 0.0)};
  if (withObserved) record.Observed = inputs.Observed().Daily;
  return record;
}

Run RunOf(const velm::RunSettings& s) {
  return {s.SurfaceStorageFlag == 1 ? 1 : 0, s.ObservedFlag == 1 ? 1 : 0,
          s.ObjectiveType, s.BalanceErrorLimit};
}

// The native outputs against velm's result file: each day's calculated
// runoff and actual evaporation as printed, and velm-report's scores of the
// file against the interface's.
std::string CompareWithResult(const std::filesystem::path& file,
                              const Record& record, const Run& run,
                              const ParameterSet& p) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const velm::report::ResultFile result =
      velm::report::ParseResultFile(text.str());
  VelmSession* session = nullptr;
  Simulate(record, run, p, session);
  const auto printed = [](double v) {
    return std::strtod(velm::FormatNumber(v).c_str(), nullptr);
  };
  std::vector<double> observed, calculated;
  std::string outcome = "same";
  for (std::size_t k = 0; k < result.Days.size(); ++k) {
    const velm::report::DayRow& d = result.Days[k];
    if (printed(velm_daily_runoff(session)[k]) != d.Calculated ||
        printed(velm_daily_actual_evaporation(session)[k]) != d.ActualE) {
      outcome = "day " + std::to_string(k) + " differs";
    }
    observed.push_back(d.Observed);
    calculated.push_back(d.Calculated);
  }
  const velm::Scores s =
      velm::ComputeScores(observed, calculated);
  const std::optional<double> scores[] = {
      s.NSE,      s.KGE,   s.R,           s.Alpha, s.Beta,
      s.KGEPrime, s.Gamma, s.PercentBias, s.RMSE,  s.PeakError};
  for (int k = 1; k < kVelmScoreValues; ++k) {
    if (velm::FormatScore(scores[k - 1]) !=
        velm_score_text(session, k)) {
      outcome = "score " + std::to_string(k) + " differs";
    }
  }
  if (result.FitDays != static_cast<int>(velm_fit(session)[0])) {
    outcome = "the fit days differ";
  }
  if (result.Days.size() != static_cast<std::size_t>(velm_days(session))) {
    outcome = "the day count differs";
  }
  velm_destroy(session);
  return outcome;
}

int Cases(int argc, char** argv) {
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::filesystem::path dir = argv[i];
    try {
      velm::RunInputs inputs(dir);
      const velm::RunSettings& settings = inputs.Settings();
      if (settings.RunMode != 0) continue;
      const Run run = RunOf(settings);
      const Record record = RecordOf(inputs, run.WithObserved == 1);
      const ParameterSet& p = inputs.FileParameters();
      const std::string expected = argv[i + 1];
      WriteForcing(record);
      WriteTest(dir.filename().string(), record, run, p,
                expected == "-" ? "none"
                                : CompareWithResult(expected, record, run, p));
    } catch (const velm::InputError&) {
      std::cerr << dir.filename().string() << ": velm refuses its input\n";
    }
  }
  return 0;
}

ParameterSet RandomSet(std::mt19937_64& random) {
  for (;;) {
    if (auto drawn = velm::testing::RandomValidSet(random)) return *drawn;
  }
}

int Random(int count, const std::filesystem::path& dir) {
  velm::RunInputs inputs(dir);
  const Record record = RecordOf(inputs, true);
  WriteForcing(record);
  std::mt19937_64 random(20261207);
  for (int i = 0; i < count; ++i) {
    // Surface storage on and off, each objective type and the balance.
    const Run run{i % 2, 1, 1 + i % 4, inputs.Settings().BalanceErrorLimit};
    WriteTest("random " + std::to_string(i), record, run, RandomSet(random),
              "none");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "cases") == 0) return Cases(argc, argv);
  if (argc == 4 && std::strcmp(argv[1], "random") == 0) {
    return Random(std::atoi(argv[2]), argv[3]);
  }
  std::cerr
      << "usage: velm_wasm_agreement cases DIR RESULT ... | random N DIR\n";
  return 2;
}
