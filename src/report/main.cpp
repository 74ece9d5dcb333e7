// velm-report: scores and an interactive page for a velm result file.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/native_path.h"
#include "common/number_format.h"
#include "common/program_start.h"
#include "report/page.h"
#include "report/result_reader.h"
#include "report/scores.h"

namespace {

using velm::report::ResultFile;
using velm::report::Scores;

constexpr const char* kVersion = "velm-report 1.0";
constexpr const char* kUsage =
    "Usage: velm-report [-o PAGE.html] [--csv] RESULT.csv\n"
    "\n"
    "Reads a velm result file (simulation or calibration layout), prints the\n"
    "scores over the fit days (the days with observed runoff above zero) and\n"
    "writes a self-contained HTML page beside it (RESULT.html).\n"
    "\n"
    "  -o PAGE    write the page to PAGE instead\n"
    "  --csv      print the scores, the final objective and the parameters\n"
    "             as one CSV header line and one CSV row instead of the table\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

struct Options {
  std::string input;
  std::string page;
  bool csv = false;
};

int Fail(const std::string& message) {
  std::cerr << "velm-report: " << message << "\n";
  return 1;
}

std::string PageBeside(const std::string& input) {
  const std::size_t slash = input.find_last_of('/');
  const std::size_t dot = input.find_last_of('.');
  const bool hasExtension = dot != std::string::npos &&
                            (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? input.substr(0, dot) : input) + ".html";
}

std::string ScoreValue(std::optional<double> value) {
  return value ? velm::FormatNumber(*value) : "undefined";
}

void PrintTable(const Scores& s) {
  if (s.fitDays == 0) {
    std::cout << "No observed runoff above zero: no scores.\n";
    return;
  }
  std::cout << "Scores over " << s.fitDays << " fit days\n";
  const std::pair<const char*, std::optional<double>> rows[] = {
      {"NSE", s.nse},
      {"KGE", s.kge},
      {"  r", s.r},
      {"  alpha", s.alpha},
      {"  beta", s.beta},
      {"KGE'", s.kgePrime},
      {"  gamma", s.gamma},
      {"PBIAS %", s.percentBias},
      {"RMSE mm/day", s.rmse},
      {"Peak error %", s.peakError},
  };
  for (const auto& [name, value] : rows) {
    std::cout << "  " << name << std::string(14 - std::string(name).size(), ' ')
              << ScoreValue(value) << "\n";
  }
}

std::string CsvValue(std::optional<double> value) {
  if (!value) return "";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", *value);
  return buffer;
}

void PrintCsv(const ResultFile& result, const Scores& s) {
  std::string header =
      "fit_days,nse,kge,r,alpha,beta,kge_prime,gamma,pbias,rmse,peak_error,"
      "final_f";
  std::string row = std::to_string(s.fitDays);
  for (std::optional<double> v :
       {s.nse, s.kge, s.r, s.alpha, s.beta, s.kgePrime, s.gamma, s.percentBias,
        s.rmse, s.peakError}) {
    row += "," + CsvValue(v);
  }
  row += "," + CsvValue(result.calibration
                            ? std::optional(result.calibration->finalObjective)
                            : std::nullopt);
  for (const velm::report::NamedValue& p : result.parameters) {
    header += "," + p.name;
    row += "," + CsvValue(p.value);
  }
  std::cout << header << "\n" << row << "\n";
}

// Returns false with a message for arguments that make no run.
bool ParseArguments(const std::vector<std::string>& args, Options& options,
                    std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      options.page = args[++i];
    } else if (args[i] == "--csv") {
      options.csv = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      error = "unknown option " + args[i];
      return false;
    } else if (options.input.empty()) {
      options.input = args[i];
    } else {
      error = "more than one result file given";
      return false;
    }
  }
  if (options.input.empty()) error = "no result file given";
  if (options.page.empty()) options.page = PageBeside(options.input);
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
      return 0;
    }
  }
  Options options;
  std::string error;
  if (!ParseArguments(args, options, error)) {
    return Fail(error + " (see velm-report --help)");
  }
  std::ifstream in(velm::PathFromUtf8(options.input), std::ios::binary);
  if (!in) return Fail("cannot open " + options.input);
  std::ostringstream text;
  text << in.rdbuf();

  ResultFile result;
  try {
    result = velm::report::ParseResultFile(text.str());
  } catch (const velm::report::NotAResultFile& e) {
    return Fail(options.input + " is not a velm result file (" + e.what() +
                ")");
  }
  std::vector<double> observed, calculated;
  for (const velm::report::DayRow& d : result.days) {
    observed.push_back(d.observed);
    calculated.push_back(d.calculated);
  }
  const Scores scores = velm::report::ComputeScores(observed, calculated);

  std::ofstream page(velm::PathFromUtf8(options.page), std::ios::binary);
  page << velm::report::RenderPage(result, scores, options.input);
  page.close();
  if (!page) return Fail("cannot write " + options.page);
  if (options.csv) {
    PrintCsv(result, scores);
  } else {
    PrintTable(scores);
    std::cout << "Page: " << options.page << "\n";
  }
  return 0;
}
