// velm-report: scores and an interactive page for a velm result file.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/native_path.h"
#include "common/program_start.h"
#include "report/assets.h"
#include "report/calibration.h"
#include "report/page.h"
#include "report/result_reader.h"
#include "results/scores.h"
#include "report/series.h"

namespace {

using velm::report::ResultFile;
using velm::Scores;

constexpr const char* kVersion = "velm-report 1.0";
constexpr const char* kUsage =
    "Usage: velm-report [-o PAGE.html] [--series DAILY.csv] [--csv] "
    "RESULT.csv\n"
    "\n"
    "Reads a velm result file (simulation or calibration layout), prints the\n"
    "scores over the fit days (the days with observed runoff above zero) and\n"
    "writes a self-contained HTML page beside it (RESULT.html). A calibration\n"
    "that found no valid parameter set is reported on standard error.\n"
    "\n"
    "  -o PAGE    write the page to PAGE instead\n"
    "  --series DAILY.csv\n"
    "             also write the daily series as a plain CSV file\n"
    "  --csv      print the scores, the final objective and the parameters\n"
    "             as one CSV header line and one CSV row instead of the table\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

struct Options {
  std::string Input;
  std::string Page;
  std::string Series;
  bool Csv = false;
};

// Names from the command line are UTF-8 (ProgramArguments).
std::filesystem::path PathOf(const std::string& utf8) {
  return velm::PathFromUtf8(utf8);
}

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return {name.begin(), name.end()};
}

int Fail(const std::string& message) {
  std::cerr << "velm-report: " << message << "\n";
  return 1;
}

void PrintTable(const Scores& s) {
  if (s.FitDays == 0) {
    std::cout << "No observed runoff above zero: no scores.\n";
    return;
  }
  std::cout << "Scores over " << s.FitDays << " fit days\n";
  for (const velm::ScoreRow& row : velm::kScores) {
    std::string name = row.Component ? "  " : "";
    name += row.Name;
    if (!row.Unit.empty()) name += " " + std::string(row.Unit);
    std::cout << "  " << name << std::string(14 - name.size(), ' ')
              << velm::FormatScore(s.*(row.Value)) << "\n";
  }
}

std::string CsvValue(std::optional<double> value) {
  if (!value) return "";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", *value);
  return buffer;
}

void PrintCsv(const ResultFile& result, const Scores& s) {
  std::string header = "fit_days";
  std::string row = std::to_string(s.FitDays);
  for (const velm::ScoreRow& score : velm::kScores) {
    header += "," + std::string(score.Key);
    row += "," + CsvValue(s.*(score.Value));
  }
  header += ",final_f";
  row += "," + CsvValue(result.Calibration
                            ? std::optional(result.Calibration->FinalObjective)
                            : std::nullopt);
  for (const velm::report::NamedValue& p : result.Parameters) {
    header += "," + p.Name;
    row += "," + CsvValue(p.Value);
  }
  std::cout << header << "\n" << row << "\n";
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(PathOf(path), std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// What the page tells beyond the result file: the catchment is the directory
// the result lies in, and the files a run and a check leave there.
velm::report::PageContext ContextOf(const std::string& input,
                                    const ResultFile& result) {
  std::error_code error;
  std::filesystem::path directory =
      std::filesystem::absolute(PathOf(input), error).parent_path();
  velm::report::PageContext context;
  context.Source = input;
  context.Catchment = Utf8Name(directory.filename());
  context.FileStem = Utf8Name(PathOf(input).stem());
  context.CheckReport = ReadFile(directory / "velm-check.json");
  if (result.Calibration) {
    const velm::report::CatchmentBeside beside =
        velm::report::ReadCatchmentBeside(directory);
    if (beside.Settings) {
      context.Genes = velm::report::MappingFromSettings(*beside.Settings);
    }
    context.Faults =
        velm::report::CalibrationFaults(*result.Calibration, beside);
  }
  return context;
}

// Returns false with a message for arguments that make no run.
bool ParseArguments(const std::vector<std::string>& args, Options& options,
                    std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      options.Page = args[++i];
    } else if (args[i] == "--series" && i + 1 < args.size()) {
      options.Series = args[++i];
    } else if (args[i] == "--csv") {
      options.Csv = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      error = "unknown option " + args[i];
      return false;
    } else if (options.Input.empty()) {
      options.Input = args[i];
    } else {
      error = "more than one result file given";
      return false;
    }
  }
  if (options.Input.empty()) error = "no result file given";
  if (options.Page.empty()) {
    options.Page = Utf8Name(PathOf(options.Input).replace_extension(".html"));
  }
  return error.empty();
}

}  // namespace

int main(int argc, char** argv) {
  velm::UseBinaryConsole();
  const std::vector<std::string> args = velm::ProgramArguments(argc, argv);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << kVersion << "\n";
      if (!velm::report::ModelModule().empty()) {
        std::cout << "Pages carry velm's model as WebAssembly ("
                  << velm::report::ModelModule().size() << " bytes).\n";
      }
      return 0;
    }
  }
  Options options;
  std::string error;
  if (!ParseArguments(args, options, error)) {
    return Fail(error + " (see velm-report --help)");
  }
  const std::optional<std::string> text = ReadFile(PathOf(options.Input));
  if (!text) return Fail("cannot open " + options.Input);

  ResultFile result;
  try {
    result = velm::report::ParseResultFile(*text);
  } catch (const velm::report::NotAResultFile& e) {
    return Fail(options.Input + " is not a velm result file (" + e.what() +
                ")");
  }
  std::vector<double> observed, calculated;
  for (const velm::report::DayRow& d : result.Days) {
    observed.push_back(d.Observed);
    calculated.push_back(d.Calculated);
  }
  const Scores scores = velm::ComputeScores(observed, calculated);
  const velm::report::PageContext context = ContextOf(options.Input, result);
  if (!context.Faults.empty()) {
    std::cerr << "velm-report: " << options.Input
              << ": the calibration ended without a valid parameter set:\n";
  }
  for (const std::string& fault : context.Faults) {
    std::cerr << "velm-report:   " << fault << "\n";
  }

  if (!WriteFile(options.Page,
                 velm::report::RenderPage(result, scores, context))) {
    return Fail("cannot write " + options.Page);
  }
  if (!options.Series.empty() &&
      !WriteFile(options.Series, velm::report::SeriesCsv(result))) {
    return Fail("cannot write " + options.Series);
  }
  if (options.Csv) {
    PrintCsv(result, scores);
  } else {
    PrintTable(scores);
    std::cout << "Page: " << options.Page << "\n";
  }
  return 0;
}
