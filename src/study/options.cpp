#include "study/options.h"

#include <charconv>
#include <fstream>

#include "common/native_path.h"

namespace velm::study {
namespace {

int Number(const std::string& option, const std::string& text, int low,
           int high) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() ||
      end != text.data() + text.size() || value < low || value > high) {
    throw UsageError(option + " needs a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high) +
                     ", not '" + text + "'");
  }
  return value;
}

DateRange Range(const std::string& option, const std::string& text) {
  const auto range = ParseDateRange(text);
  if (!range) {
    throw UsageError(option + " needs FROM:TO, two ISO dates such as " +
                     "2001-10-01:2002-09-30, not '" + text + "'");
  }
  return *range;
}

StudyObjective ObjectiveNamed(const std::string& name) {
  if (name == "rmse") return StudyObjective::kRmse;
  if (name == "nse") return StudyObjective::kNse;
  if (name == "kge") return StudyObjective::kKge;
  if (name == "lognse") return StudyObjective::kLogNse;
  throw UsageError("--objective is rmse, nse, kge or lognse, not '" + name +
                   "'");
}

void AddList(StudyOptions& options, const std::string& file) {
  std::ifstream in(PathFromUtf8(file), std::ios::binary);
  if (!in) throw UsageError("cannot read the list " + file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      throw UsageError("line " + std::to_string(number) + " of " + file +
                       " is empty");
    }
    options.Directories.push_back(line);
  }
}

void Check(const StudyOptions& options) {
  if (options.Help || options.Version) return;
  if (options.Calibration.has_value() != options.Validation.has_value()) {
    throw UsageError(
        "--calibration and --validation go together; without both the "
        "record's hydrological years are split");
  }
  if (options.Seed + options.Starts - 1 > 65535) {
    throw UsageError("the seeds --seed N to N + K - 1 of --starts K go up to "
                     "65535, as VELM_SEED does");
  }
  if ((options.Task || options.CollectOnly) && options.Run.empty()) {
    throw UsageError("--task and --collect-only need --run TOKEN");
  }
  if (options.Task && options.CollectOnly) {
    throw UsageError("--task and --collect-only exclude each other");
  }
  if (options.Run.find_first_of(" \t\r\n") != std::string::npos) {
    throw UsageError("a run token has no blanks");
  }
  if (options.Directories.empty()) {
    throw UsageError("no catchment directory given");
  }
  if (options.Task && *options.Task >= static_cast<int>(options.Directories.size())) {
    throw UsageError("--task needs an index from 0 to " +
                     std::to_string(options.Directories.size() - 1));
  }
}

}  // namespace

std::string_view SearchName(SearchKind search) {
  return search == SearchKind::kDds ? "dds" : "es";
}

StudyOptions ParseOptions(std::span<const std::string> arguments) {
  StudyOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError(option + " needs a value");
      return arguments[++i];
    };
    if (option == "--calibration") {
      options.Calibration = Range(option, value());
    } else if (option == "--validation") {
      options.Validation = Range(option, value());
    } else if (option == "--warmup") {
      options.WarmupDays = Number(option, value(), 0, 100000);
    } else if (option == "--year-start") {
      const auto start = ParseYearStart(value());
      if (!start) {
        throw UsageError("--year-start needs MM-DD, a day every year has, "
                         "such as 10-01");
      }
      options.HydrologicalYear = *start;
    } else if (option == "--objective") {
      options.Objective = ObjectiveNamed(value());
    } else if (option == "--starts") {
      options.Starts = Number(option, value(), 1, 65536);
    } else if (option == "--seed") {
      options.Seed = Number(option, value(), 0, 65535);
    } else if (option == "--search") {
      const std::string& name = value();
      if (name != "es" && name != "dds") {
        throw UsageError("--search is es or dds, not '" + name + "'");
      }
      options.Search = name == "dds" ? SearchKind::kDds : SearchKind::kEvolution;
    } else if (option == "-j") {
      options.Jobs = Number(option, value(), 1, 4096);
    } else if (option == "-o") {
      options.Output = value();
    } else if (option == "--keep") {
      options.Keep = true;
    } else if (option == "--list") {
      AddList(options, value());
    } else if (option == "--task") {
      options.Task = Number(option, value(), 0, 1 << 30);
    } else if (option == "--collect-only") {
      options.CollectOnly = true;
    } else if (option == "--run") {
      options.Run = value();
    } else if (option == "--help" || option == "-h") {
      options.Help = true;
    } else if (option == "--version") {
      options.Version = true;
    } else if (option == "--") {
      options.Directories.insert(options.Directories.end(),
                                 arguments.begin() + static_cast<long>(i) + 1,
                                 arguments.end());
      break;
    } else if (option.size() > 1 && option[0] == '-') {
      throw UsageError("unknown option " + option);
    } else {
      options.Directories.push_back(option);
    }
  }
  Check(options);
  return options;
}

const char* const kUsage =
    "Usage: velm-study [OPTION]... DIR...\n"
    "\n"
    "Calibrates each catchment directory DIR (FILEINFO.dat and the files it\n"
    "names; its control file asks for a calibration) on a calibration period\n"
    "from several starts, and scores every start on a validation period. Writes\n"
    "OUT/study.csv (a row per catchment, start and period), OUT/study.html and\n"
    "per catchment OUT/NAME/ with the best valid start's parameter file and\n"
    "velm's result files for both periods.\n"
    "\n"
    "  --calibration FROM:TO, --validation FROM:TO\n"
    "                  the periods, whole days as ISO dates of the evaporation\n"
    "                  file's calendar (default: the record's whole\n"
    "                  hydrological years, the earlier half for calibration)\n"
    "  --year-start MM-DD  the day a hydrological year begins (default 10-01)\n"
    "  --warmup DAYS   days run before each period and left out of its fit\n"
    "                  (default 365, or what the record holds before it)\n"
    "  --objective rmse|nse|kge|lognse\n"
    "                  what the searches minimise (default: the control\n"
    "                  file's objective; nse, kge, lognse as 1 - efficiency)\n"
    "  --starts K      calibrations per catchment, seeds N to N + K - 1\n"
    "                  (default 10)\n"
    "  --seed N        the first start's seed, as VELM_SEED (default 1)\n"
    "  --search es|dds velm's own search, or dynamically dimensioned search\n"
    "                  with the same budget (default es)\n"
    "  -j JOBS         calibrations at once (default one per core); each gets\n"
    "                  cores / JOBS threads, at least 1\n"
    "  -o OUT          the output folder (default velm-study)\n"
    "  --keep          keep the directories prepared for velm in OUT/NAME/,\n"
    "                  with each start's console\n"
    "  --list FILE     take further directories from FILE, one a line\n"
    "  --task I --run TOKEN\n"
    "                  only the I-th directory (from 0), as a task of run\n"
    "                  TOKEN (what each task of velm-study.sbatch does)\n"
    "  --collect-only --run TOKEN\n"
    "                  run nothing: write study.csv and study.html from the\n"
    "                  outputs of run TOKEN\n"
    "  --help, --version\n"
    "\n"
    "Exit codes: 0 every catchment has a valid start, 1 a catchment was\n"
    "refused or found no valid parameter set (the others still run), 2 bad\n"
    "usage.\n";

}  // namespace velm::study
