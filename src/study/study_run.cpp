#include "study/study_run.h"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <variant>

#include "common/native_path.h"
#include "common/number_format.h"
#include "input/parameter_file.h"
#include "study/catchment_plan.h"
#include "study/core_adapter.h"
#include "study/study_page.h"
#include "study/study_table.h"

namespace velm::study {
namespace {

constexpr const char* kStatusName = "study-status.txt";
constexpr const char* kStartsName = "starts.csv";
constexpr const char* kBandName = "validation-band.csv";

// With forward slashes on every system, so that messages and files read
// alike.
std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return {text.begin(), text.end()};
}

struct StartResult {
  int Start = 0;
  std::uint16_t Seed = 0;
  StartOutcome Outcome;
  Scores Calibration;
  Scores Validation;
  std::vector<double> ValidationDays;  // the validation period's own days
  double Seconds = 0.0;
  std::string Console;
  std::string ResultFile;
  std::string Failure;  // what ended the start before it finished

  bool Valid() const { return Failure.empty() && Outcome.Problems.empty(); }
};

StartResult RunStart(const PreparedCatchment& c, const StudyOptions& options,
                     int start, int threads) {
  StartResult result;
  result.Start = start;
  result.Seed = static_cast<std::uint16_t>(options.Seed + start);
  const auto began = std::chrono::steady_clock::now();
  try {
    std::ostringstream console, resultFile;
    std::ostream discarded(nullptr);
    result.Outcome = CalibrateStart(
        c.CalibrationData,
        {result.Seed, options.Search, options.Objective, threads},
        options.Keep ? static_cast<std::ostream&>(console) : discarded,
        resultFile);
    result.Calibration = result.Outcome.Fit;
    const SimulationRun validation =
        SimulateDays(c.ValidationData, result.Outcome.Calibrated);
    result.Validation = validation.Scores;
    const auto first = validation.DailyCalcQ.begin() + c.Validation.WarmupDays;
    result.ValidationDays.assign(first, first + c.Validation.Period.Count());
    result.Console = std::move(console).str();
    result.ResultFile = std::move(resultFile).str();
  } catch (const std::exception& error) {
    result.Failure = error.what();
  }
  result.Seconds = std::chrono::duration<double>(
                       std::chrono::steady_clock::now() - began)
                       .count();
  return result;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text;
}

Table StartsTable(const PreparedCatchment& c, const StudyOptions& options,
                  const std::vector<StartResult>& starts) {
  Table table;
  table.Header = FixedColumns();
  const auto names = CalibratedValues(c.CalibrationData, c.CalibrationData.Parameters);
  for (const auto& [name, value] : names) table.Header.push_back(name);
  const std::string objective =
      ObjectiveName(options.Objective, c.CalibrationData.Settings);
  const auto score = [](std::optional<double> v) {
    return v ? CsvNumber(*v) : std::string();
  };
  for (const StartResult& s : starts) {
    const auto values = CalibratedValues(c.CalibrationData, s.Outcome.Calibrated);
    for (const bool calibration : {true, false}) {
      const Scores& scores = calibration ? s.Calibration : s.Validation;
      const DateRange& dates =
          calibration ? c.CalibrationDates : c.ValidationDates;
      const PeriodLayout& layout = calibration ? c.Calibration : c.Validation;
      std::vector<std::string> row{
          c.Name,
          calibration ? "calibration" : "validation",
          std::to_string(s.Start),
          std::to_string(s.Seed),
          std::string(SearchName(options.Search)),
          objective,
          IsoDate(dates.From),
          IsoDate(dates.To),
          std::to_string(layout.WarmupDays),
          std::to_string(scores.FitDays),
          s.Failure.empty() ? CsvNumber(s.Outcome.F) : "",
          s.Valid() ? "yes" : "no",
          std::to_string(s.Outcome.Evaluations),
          std::to_string(s.Outcome.Simulations)};
      for (const auto member : kStudyScores) row.push_back(score(scores.*member));
      row.push_back(FormatPrintf("%.1f", s.Seconds));
      row.push_back(s.Failure.empty() ? Joined(s.Outcome.Problems) : s.Failure);
      for (std::size_t i = 0; i < names.size(); ++i) {
        row.push_back(s.Failure.empty() ? CsvNumber(values[i].second) : "");
      }
      table.Rows.push_back(std::move(row));
    }
  }
  return table;
}

// The valid start of the lowest f, the first of equals; nothing when no
// start is valid.
const StartResult* BestStart(const std::vector<StartResult>& starts) {
  const StartResult* best = nullptr;
  for (const StartResult& s : starts) {
    if (s.Valid() && (best == nullptr || s.Outcome.F < best->Outcome.F)) {
      best = &s;
    }
  }
  return best;
}

// Day by day over the validation period: the observed runoff, the best
// start's and the lowest and highest of all valid starts.
Table BandTable(const PreparedCatchment& c,
                const std::vector<StartResult>& starts, const StartResult& best) {
  Table table{{"date", "observed", "best", "low", "high"}, {}};
  const PeriodLayout& v = c.Validation;
  const std::vector<double>& observed = c.ValidationData.RequireObserved()->Daily;
  for (int i = 0; i < v.Period.Count(); ++i) {
    const auto day = static_cast<std::size_t>(i);
    double low = best.ValidationDays[day], high = low;
    for (const StartResult& s : starts) {
      if (!s.Valid()) continue;
      low = std::min(low, s.ValidationDays[day]);
      high = std::max(high, s.ValidationDays[day]);
    }
    table.Rows.push_back(
        {IsoDate(c.ValidationDates.From + std::chrono::days(i)),
         CsvNumber(observed[static_cast<std::size_t>(v.WarmupDays + i)]),
         CsvNumber(best.ValidationDays[day]), CsvNumber(low), CsvNumber(high)});
  }
  return table;
}

void WriteStatus(const std::filesystem::path& folder, const std::string& token,
                 const CatchmentEntry& entry, std::string_view state,
                 std::string_view reason) {
  std::string text = "run=" + token + "\nsource=" + Utf8(entry.Source) +
                     "\nstate=" + std::string(state) + "\n";
  if (!reason.empty()) text += "reason=" + std::string(reason) + "\n";
  WriteText(folder / kStatusName, text);
}

// The catchment's folder once its starts have run; false when no start is
// valid.
bool FinishCatchment(const CatchmentEntry& entry, const PreparedCatchment& c,
                     const StudyOptions& options,
                     const std::vector<StartResult>& starts,
                     const std::string& token, std::ostream& errors) {
  WriteText(entry.Folder / kStartsName,
            TableText(StartsTable(c, options, starts)));
  const std::filesystem::path calibrationDir =
      PreparedDirectory(entry.Folder, PeriodKind::kCalibration);
  const std::filesystem::path validationDir =
      PreparedDirectory(entry.Folder, PeriodKind::kValidation);
  const StartResult* best = BestStart(starts);
  std::string reason;
  if (best != nullptr) {
    WriteText(entry.Folder / kBandName, TableText(BandTable(c, starts, *best)));
    WriteText(entry.Folder / "calibration.csv", best->ResultFile);
    WriteText(entry.Folder / "validation.csv",
              SimulationResultFile(c.ValidationData, best->Outcome.Calibrated));
    try {
      const std::string parameters = ParameterFileText(best->Outcome.Calibrated);
      WriteText(entry.Folder / "parameters.dat", parameters);
      if (options.Keep) WriteText(validationDir / "parameters.dat", parameters);
    } catch (const std::invalid_argument& error) {
      reason = std::string("the best set is not written as a parameter file: ") +
               error.what();
      errors << "velm-study: " << entry.Name << ": " << reason << '\n';
    }
  }
  if (options.Keep) {
    for (const StartResult& s : starts) {
      WriteText(calibrationDir / ("console-" + std::to_string(s.Seed) + ".txt"),
                s.Console);
    }
  } else {
    std::filesystem::remove_all(calibrationDir);
    std::filesystem::remove_all(validationDir);
  }
  WriteStatus(entry.Folder, token, entry, best ? "done" : "no valid start",
              reason);
  return best != nullptr;
}

// A fresh folder: nothing of an earlier run may be taken for this one's.
void ClearFolder(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
}

int CoreCount() { return std::max(1, omp_get_max_threads()); }

}  // namespace

std::vector<CatchmentEntry> CatchmentEntries(const StudyOptions& options) {
  std::vector<CatchmentEntry> entries;
  std::map<std::string, std::string> seen;
  const std::filesystem::path out = PathFromUtf8(options.Output);
  for (const std::string& directory : options.Directories) {
    std::filesystem::path source = PathFromUtf8(directory);
    std::string name = Utf8(source.lexically_normal().filename());
    if (name.empty()) name = Utf8(source.lexically_normal().parent_path().filename());
    if (name.empty() || name == "." || name == "..") {
      name = Utf8(std::filesystem::absolute(source).lexically_normal().filename());
    }
    const auto [at, added] = seen.emplace(name, directory);
    if (!added) {
      throw UsageError(directory + " and " + at->second +
                       " share the name " + name +
                       ", which names a catchment's folder of results");
    }
    entries.push_back({name, source, out / PathFromUtf8(name)});
  }
  return entries;
}

std::string LocalRunToken() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::random_device random;
  return "local-" + std::to_string(
                        std::chrono::duration_cast<std::chrono::seconds>(now).count()) +
         "-" + std::to_string(random() % 1000000);
}

int RunCatchments(const StudyOptions& options,
                   const std::vector<CatchmentEntry>& catchments,
                   const std::string& token, std::ostream& errors) {
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < catchments.size(); ++i) {
    if (!options.Task || static_cast<std::size_t>(*options.Task) == i) {
      chosen.push_back(i);
    }
  }
  // Prepared one after another, so that refusals come in order.
  std::vector<std::optional<PreparedCatchment>> prepared(catchments.size());
  int withoutValidStart = 0;
  for (const std::size_t i : chosen) {
    const CatchmentEntry& entry = catchments[i];
    std::string refusal;
    try {
      ClearFolder(entry.Folder);
      WriteStatus(entry.Folder, token, entry, "running", "");
      auto plan = PrepareCatchment(entry.Source, entry.Name, options, entry.Folder);
      if (auto* ready = std::get_if<PreparedCatchment>(&plan)) {
        prepared[i] = std::move(*ready);
      } else {
        refusal = std::get<Refusal>(plan).Message;
      }
    } catch (const std::exception& error) {
      refusal = error.what();
    }
    if (refusal.empty()) continue;
    ++withoutValidStart;
    errors << "velm-study: " << entry.Name << ": " << refusal << '\n'
           << std::flush;
    std::filesystem::remove_all(PreparedDirectory(entry.Folder, PeriodKind::kCalibration));
    std::filesystem::remove_all(PreparedDirectory(entry.Folder, PeriodKind::kValidation));
    WriteText(entry.Folder / kStartsName,
              TableText({FixedColumns(), {}}));
    WriteStatus(entry.Folder, token, entry, "refused", refusal);
  }

  struct Job {
    std::size_t Catchment;
    int Start;
  };
  std::vector<Job> jobs;
  std::vector<std::vector<StartResult>> results(catchments.size());
  for (const std::size_t i : chosen) {
    if (!prepared[i]) continue;
    results[i].resize(static_cast<std::size_t>(options.Starts));
    for (int k = 0; k < options.Starts; ++k) jobs.push_back({i, k});
  }
  const int workers = options.Jobs > 0 ? options.Jobs : CoreCount();
  const int threads = std::max(1, CoreCount() / workers);
  std::atomic<std::size_t> next{0};
  {
    std::vector<std::jthread> pool;
    for (int w = 0; w < std::min<int>(workers, static_cast<int>(jobs.size())); ++w) {
      pool.emplace_back([&] {
        for (std::size_t j; (j = next++) < jobs.size();) {
          const Job& job = jobs[j];
          results[job.Catchment][static_cast<std::size_t>(job.Start)] =
              RunStart(*prepared[job.Catchment], options, job.Start, threads);
        }
      });
    }
  }
  for (const std::size_t i : chosen) {
    if (!prepared[i]) continue;
    try {
      if (!FinishCatchment(catchments[i], *prepared[i], options, results[i],
                           token, errors)) {
        ++withoutValidStart;
      }
    } catch (const std::exception& error) {
      ++withoutValidStart;
      errors << "velm-study: " << catchments[i].Name << ": " << error.what()
             << '\n';
      WriteStatus(catchments[i].Folder, token, catchments[i], "failed",
                  error.what());
    }
  }
  return withoutValidStart;
}

}  // namespace velm::study

namespace velm::study {
namespace {

std::map<std::string, std::string> ReadStatus(const std::filesystem::path& path) {
  std::map<std::string, std::string> status;
  const auto text = ReadText(path);
  if (!text) return status;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) {
      status[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return status;
}

CatchmentOutputs OutputsOf(const CatchmentEntry& entry, const std::string& token) {
  CatchmentOutputs c{entry.Name, "not run", "", {}, {}};
  auto status = ReadStatus(entry.Folder / kStatusName);
  if (status["run"] != token) {
    c.Reason = "no output of run " + token + " in " + Utf8(entry.Folder);
    return c;
  }
  c.State = status["state"];
  c.Reason = status["reason"];
  if (c.State == "running") {
    c.State = "failed";
    c.Reason = "its run did not finish";
  }
  c.Starts = ParseTable(ReadText(entry.Folder / kStartsName).value_or(""));
  c.Band = ParseTable(ReadText(entry.Folder / kBandName).value_or(""));
  return c;
}

// The rows of a catchment in study.csv; one that has none gets a row that
// says why.
Table RowsOf(const CatchmentOutputs& c) {
  if (!c.Starts.Rows.empty()) return c.Starts;
  Table table{FixedColumns(), {}};
  std::vector<std::string> row(table.Header.size());
  row[0] = c.Name;
  row[*table.Column("reason")] = c.State + ": " + c.Reason;
  table.Rows.push_back(std::move(row));
  return table;
}

// "02064000-3y: 10 starts, 10 valid, best f 0.570359 (seed 2), validation
// NSE 0.33, KGE 0.41".
std::string SummaryLine(const CatchmentOutputs& c) {
  if (c.State != "done" && c.State != "no valid start") {
    return c.Name + ": " + c.State + ": " + c.Reason;
  }
  const Table& t = c.Starts;
  const auto field = [&](const std::vector<std::string>& row,
                         std::string_view name) { return row[*t.Column(name)]; };
  const std::string nse = ScoreKey(&Scores::NSE), kge = ScoreKey(&Scores::KGE);
  int starts = 0, valid = 0;
  const std::vector<std::string>* best = nullptr;
  for (std::size_t i = 0; i + 1 < t.Rows.size(); i += 2) {
    const auto& row = t.Rows[i];
    ++starts;
    if (field(row, "valid") != "yes") continue;
    ++valid;
    if (best == nullptr ||
        NumberIn(field(row, "final_f")) < NumberIn(field(*best, "final_f"))) {
      best = &row;
    }
  }
  std::string line = c.Name + ": " + std::to_string(starts) + " starts, " +
                     std::to_string(valid) + " valid";
  if (best == nullptr) return line + ", so no parameter file";
  const auto& validation = *(best + 1);
  return line + ", best f " + FormatNumber(NumberIn(field(*best, "final_f"))) +
         " (seed " + field(*best, "seed") + "), validation NSE " +
         FormatNumber(NumberIn(field(validation, nse))) + ", KGE " +
         FormatNumber(NumberIn(field(validation, kge)));
}

}  // namespace

int CollectStudy(const StudyOptions& options,
                 const std::vector<CatchmentEntry>& catchments,
                 const std::string& token, std::ostream& out,
                 std::ostream& errors) {
  std::vector<CatchmentOutputs> outputs;
  std::vector<Table> tables;
  std::map<std::string, int> tally;
  for (const CatchmentEntry& entry : catchments) {
    outputs.push_back(OutputsOf(entry, token));
    tables.push_back(RowsOf(outputs.back()));
    const std::string& state = outputs.back().State;
    ++tally[state == "done" ? "ok" : state];
  }
  const std::filesystem::path folder = PathFromUtf8(options.Output);
  std::string shown = options.Output;
  while (shown.size() > 1 && (shown.back() == '/' || shown.back() == '\\')) {
    shown.pop_back();
  }
  const std::string csv = shown + "/study.csv";
  const std::string page = shown + "/study.html";
  try {
    std::filesystem::create_directories(folder);
    WriteText(PathFromUtf8(csv), TableText(Concatenated(tables)));
    WriteText(PathFromUtf8(page), RenderStudyPage(outputs));
  } catch (const std::exception& error) {
    errors << "velm-study: " << error.what() << '\n';
    return 1;
  }
  for (const CatchmentOutputs& c : outputs) out << SummaryLine(c) << '\n';
  std::string counts;
  for (const char* state : {"ok", "no valid start", "refused", "failed", "not run"}) {
    if (tally.contains(state)) {
      counts += (counts.empty() ? ": " : ", ") + std::to_string(tally[state]) +
                " " + state;
    }
  }
  out << "velm-study: " << catchments.size() << " catchments in " << csv
      << " and " << page << counts << '\n';
  return tally["ok"] == static_cast<int>(catchments.size()) ? 0 : 1;
}

}  // namespace velm::study
