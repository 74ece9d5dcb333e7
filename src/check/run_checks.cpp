#include "check/run_checks.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "check/unit_checks.h"
#include "check/wording.h"
#include "common/number_format.h"
#include "common/texts.h"
#include "input/parameter_file.h"
#include "model/simulate.h"
#include "optimizer/bounds_check.h"
#include "optimizer/gene_map.h"
#include "optimizer/optimizer.h"
#include "results/fit.h"

namespace velm::check {
namespace {

namespace fs = std::filesystem;

// Dry days from a tenth of the observed days, and a month, on leave out a
// season; fewer are a short dry spell.
constexpr double kManyDryDays = 0.1;
constexpr std::size_t kDryMonth = 30;
constexpr std::size_t kCatchmentAreaLine =
    SettingLine(&RunSettings::CatchmentArea);
constexpr std::size_t kRunModeLine = SettingLine(&RunSettings::RunMode);
constexpr std::size_t kObservedFlagLine = SettingLine(&RunSettings::ObservedFlag);
constexpr std::size_t kOutputFlagLine = SettingLine(&RunSettings::OutputFlag);
constexpr std::size_t kVariableCountLine =
    SettingLine(&RunSettings::VariableCount);

std::string OnLine(std::size_t line) { return "line " + std::to_string(line); }

std::string OnFileInfoLine(const NamedFile& file) {
  return OnLine(file.FileInfoLine) + " of FILEINFO.dat";
}

Finding ControlFinding(const Catchment& c, std::string_view kind,
                       Severity level, std::size_t line, std::string message,
                       std::string fix = "") {
  return FindingAt(c.File(FileEntry::kControl), kind, level, line,
                   std::move(message), std::move(fix));
}

std::string ControlLine(const Catchment& c, std::size_t line) {
  return Quoted(c.File(FileEntry::kControl).Lines->LineOrEmpty(line));
}

std::string_view ObjectiveName(int type) {
  switch (type) {
    case 1:
      return "RMSE";
    case 2:
      return "RR, the root mean square of the relative error";
    case 3:
      return "RE, the mean relative error";
    default:
      return "the water balance";
  }
}

std::string DateText(const Calendar& dates, std::size_t day) {
  return FormatPrintf("%04d-%02d-%02d", dates.Year[day], dates.Month[day],
                      dates.Day[day]);
}

void NoteRunMode(const Catchment& c, std::vector<Finding>& findings) {
  const RunSettings& s = *c.Settings;
  const std::string result = Quoted(c.File(FileEntry::kResult).Name);
  if (s.RunMode == 0) {
    findings.push_back(ControlFinding(
        c, "run-mode", Severity::kNote, kRunModeLine,
        "run mode 0: one simulation with the parameter file's values" +
            std::string(s.ObservedFlag == 1
                            ? ", compared with the observed runoff"
                            : "; " + OnLine(kObservedFlagLine) +
                                  " is not 1, so no observed runoff is read "
                                  "or compared")));
    findings.push_back(ControlFinding(
        c, "output", Severity::kNote, kOutputFlagLine,
        s.OutputFlag == 1
            ? "output 1: velm prints the parameters and a summary and writes "
              "the result file " +
                  result
            : "output " + std::to_string(s.OutputFlag) +
                  ": velm prints the parameters only and writes no result "
                  "file"));
    return;
  }
  std::string mode =
      "run mode " + std::to_string(s.RunMode) + ": a calibration of " +
      Count(static_cast<std::size_t>(std::max(0, s.VariableCount)), "gene") +
      " against the observed runoff, objective " +
      std::to_string(s.ObjectiveType) + " (" +
      std::string(ObjectiveName(s.ObjectiveType)) + "), ";
  // A calibration up to this many evaluations runs the six epochs only.
  mode += s.FcountLimit <= kEpochEvaluations
              ? "the six epochs only (evaluation limit " +
                    std::to_string(s.FcountLimit) + ")"
              : "up to " + std::to_string(s.FcountLimit) + " evaluations";
  findings.push_back(ControlFinding(c, "run-mode", Severity::kNote, kRunModeLine, mode));
  const std::string output =
      s.OutputFlag == 1 ? "the progress and every evaluation's fit on the "
                          "console, the progress in the result file too"
      : s.OutputFlag == 2
          ? "the calibration scores only the parameter-order rules, not the "
            "fit to the observed runoff"
          : "the progress on the console";
  findings.push_back(
      ControlFinding(c, "output", Severity::kNote, kOutputFlagLine,
                     "output " + std::to_string(s.OutputFlag) + ": " + output +
                         "; the result file " + result +
                         " gets the parameters and the final simulation"));
}

void NoteLength(const Catchment& c, std::vector<Finding>& findings) {
  const Weather& w = *c.WeatherRecord;
  const auto days = static_cast<std::size_t>(w.DayCount());
  std::string text = Count(static_cast<std::size_t>(w.HourCount()), "hour") +
                     ", " + Count(days, "whole day");
  if (days > 0) {
    text += ", " + DateText(w.Dates, 0) + " to " + DateText(w.Dates, days - 1) +
            " as the evaporation file dates them";
  }
  findings.push_back(
      FindingAt(c.File(FileEntry::kRain), "record-length", Severity::kNote, 0, text, ""));
}

// What velm prints when a simulation compares no day.
std::string NoFitSummary(const Catchment& c) {
  const RunSettings& s = *c.Settings;
  if (s.RunMode != 0 || s.OutputFlag != 1) return "";
  return "day= 0" + std::string(text::kRelativeError.Utf8) + "nan";
}

// A catchment area that turns every observed value into 0, infinity or a
// negative depth leaves nothing to compare.
bool CheckArea(const Catchment& c, std::vector<Finding>& findings) {
  const double area = c.Settings->CatchmentArea;
  if (std::isfinite(area) && area > 0) return true;
  Finding f = ControlFinding(
      c, "catchment-area", Severity::kError, kCatchmentAreaLine,
      "the catchment area " + ControlLine(c, kCatchmentAreaLine) +
          " reads as " + Number(area) + ", which makes every observed value " +
          (area == 0  ? "infinite"
           : area < 0 ? "negative"
                      : "0") +
          ": no day can be compared",
      "give the catchment area in km2 on " + OnLine(kCatchmentAreaLine) +
          ", or exactly 1 when the observed runoff is already in mm per "
          "hour");
  f.VelmMessage = NoFitSummary(c);
  findings.push_back(std::move(f));
  return false;
}

// Why a calibration cannot score a directory that compares no day.
std::string NoFitCalibration(const Catchment& c) {
  if (!c.IsCalibration()) return "";
  if (c.Settings->OutputFlag == 2) {
    return "; output 2 scores only the parameter-order rules, but the final "
           "simulation compares nothing";
  }
  return "; every evaluation's f is then nan, so the calibration cannot end "
         "on a valid parameter set: velm runs the whole search and ends with "
         "exit code 2";
}

// Days of a river that stops flowing: velm leaves them out of the fit.
void CheckDryDays(const Catchment& c, const FitMeasures& fit,
                  std::vector<Finding>& findings) {
  const NamedFile& runoff = c.File(FileEntry::kObservedRunoff);
  const std::vector<double>& daily = c.Observed->Daily;
  const std::size_t observedDays =
      std::min(daily.size(), runoff.Lines->Count() / kHoursPerDay);
  std::size_t dry = 0;
  std::size_t first = 0;
  for (std::size_t d = 0; d < observedDays; ++d) {
    if (daily[d] == 0 && dry++ == 0) first = d;
  }
  if (dry == 0) return;
  const bool many =
      dry >= kDryMonth && static_cast<double>(dry) >=
                              kManyDryDays * static_cast<double>(observedDays);
  findings.push_back(FindingAt(
      runoff, "dry-days", many ? Severity::kWarning : Severity::kNote,
      first * kHoursPerDay + 1,
      std::to_string(dry) + " of the " + std::to_string(observedDays) +
          " observed days " + (dry == 1 ? "has" : "have") +
          " no runoff at all, the first on " +
          DateText(c.WeatherRecord->Dates, first) +
          ": velm compares only days above 0, so the fit judges the " +
          std::to_string(fit.FitDays) +
          " flowing days alone, runoff that the model makes on a dry day "
          "costs nothing, and the water balance counts the flowing days only",
      many ? "for a river that dries up, look at the dry days in the result "
             "file (observed 0, calculated as simulated) before trusting a "
             "calibration; velm's objectives cannot see them"
           : ""));
}

std::string RatioWarning(const Catchment& c, double ratio,
                         const std::string& balance) {
  const double area = c.Settings->CatchmentArea;
  std::string text =
      "on the days compared the observed runoff is " + Number(ratio, 3) +
      " times the rain (" + balance + ")" +
      (ratio > kHighestRunoffRatio
           ? ": more water leaves the catchment than falls on it"
           : ": hardly any of the rain leaves the catchment") +
      "; the catchment area " + ControlLine(c, kCatchmentAreaLine) +
      (area == 1.0 ? " (exactly 1: the runoff is taken as mm per hour) or "
                     "the unit of the observed runoff"
                   : " (in km2) or the unit of the observed runoff (m3/s)") +
      " is probably wrong";
  const std::vector<std::string> suspects = UnitSuspects(ratio, area);
  for (std::size_t i = 0; i < suspects.size(); ++i) {
    text += (i == 0 ? ": " : "; ") + suspects[i];
  }
  return text;
}

void CheckObserved(const Catchment& c, std::vector<Finding>& findings) {
  if (!CheckArea(c, findings)) return;
  const Weather& w = *c.WeatherRecord;
  const ObservedRunoff& observed = *c.Observed;
  const std::vector<double> none(observed.Daily.size(), 0.0);
  const FitMeasures fit =
      MeasureFit({none, w.DailyRain, none, none, observed.Daily});
  const NamedFile& runoff = c.File(FileEntry::kObservedRunoff);
  if (fit.FitDays == 0) {
    const std::size_t records = runoff.Lines->Count();
    Finding f = FindingAt(
        runoff, "no-fit-day", Severity::kError, 0,
        (records == 0 ? "the observed-runoff file has no records: no day can "
                        "be compared"
                      : "no day has observed runoff above 0, and velm "
                        "compares only such days") +
            NoFitCalibration(c),
        "give the observed runoff of the rain file's hours, one record per "
        "hour in m3/s (mm per hour with a catchment area of 1)");
    f.VelmMessage = NoFitSummary(c);
    findings.push_back(std::move(f));
    return;
  }
  CheckDryDays(c, fit, findings);
  const double ratio = fit.SumObservedQ / fit.SumRain;
  const std::string balance = FormatPrintf("%.1f", fit.SumObservedQ) +
                              " mm of observed runoff against " +
                              FormatPrintf("%.1f", fit.SumRain) + " mm of rain";
  // A value that is not finite has a finding of its own.
  const bool measured = std::isfinite(fit.SumRain) &&
                        std::isfinite(fit.SumObservedQ) && fit.SumRain > 0;
  findings.push_back(FindingAt(
      runoff, "fit-days", Severity::kNote, 0,
      std::to_string(fit.FitDays) + " of " + std::to_string(w.DayCount()) +
          " days have observed runoff above 0 and are compared: " + balance +
          (measured ? ", a runoff ratio of " + Number(ratio, 3) : ""),
      ""));
  if (!measured ||
      !(ratio > kHighestRunoffRatio || ratio < kLowestRunoffRatio)) {
    return;
  }
  findings.push_back(ControlFinding(
      c, "runoff-ratio", Severity::kWarning, kCatchmentAreaLine,
      RatioWarning(c, ratio, balance),
      "give the area in km2 on " + OnLine(kCatchmentAreaLine) +
          " (hectares / 100, m2 / 1,000,000) and "
      "the observed runoff in m3/s (L/s / 1000), or an area of exactly 1 "
      "with the runoff in mm per hour"));
}

// "CoeffTank[1] (line 27)", or the values it comes from for a derived one.
std::string WhereGiven(const ParameterRef& parameter) {
  const std::size_t line = ParameterLineOf(parameter);
  if (line > 0) return parameter.Name() + " (" + OnLine(line) + ")";
  const LineRange soil = LinesOf(DerivationProblem::kNoMaxInfiltration).Lines;
  return parameter.Name() + " (derived from the soil values, lines " +
         std::to_string(soil.First) + " to " + std::to_string(soil.Last) + ")";
}

std::string FixedBreakFix(const OrderRule& rule) {
  const auto [left, right] = rule.Values();
  return "in the parameter file, give " + WhereGiven(rule.LeftParameter) +
         " a value " + (rule.Strict ? "above " : "of at least ") + right +
         ", or " + WhereGiven(rule.RightParameter) + " one " +
         (rule.Strict ? "below " : "of at most ") + left +
         "; or calibrate one of them with an index in the control file";
}

void CheckCalibration(const Catchment& c, std::vector<Finding>& findings) {
  const RunSettings& s = *c.Settings;
  if (s.VariableCount <= 0) {
    findings.push_back(ControlFinding(
        c, "no-genes", Severity::kWarning, kVariableCountLine,
        "a calibration without genes (" + OnLine(kVariableCountLine) +
            " is " +
            std::to_string(s.VariableCount) +
            "): the search runs, but every evaluation is the parameter file's "
            "set",
        "give the number of genes on " + OnLine(kVariableCountLine) +
            " and their indices, or run mode "
        "0 for one simulation"));
  }
  // Without genes too: a rule the file's values break is never kept.
  if (!c.Parameters) return;
  const GeneMap map(s.VariableCount, s.OptIndex);
  const BoundsCheck check = CheckBounds(*c.Parameters, map);
  // In the words velm warns with.
  for (const OrderRule& rule : check.FixedBreaks) {
    findings.push_back(FindingAt(c.File(FileEntry::kParameter), "rule-broken-by-file",
                                 Severity::kError,
                                 ParameterLineOf(rule.LeftParameter),
                                 FixedBreakWarning(rule), FixedBreakFix(rule)));
  }
  if (check.FixedBreaks.empty() && check.Share() < BoundsCheck::kLowShare) {
    findings.push_back(FindingAt(c.File(FileEntry::kParameter), "bounds-low-share",
                                 Severity::kWarning, 0,
                                 LowShareWarning(check, s.VariableCount),
                                 "raise the upper bounds of the parameters "
                                 "on the left of the rules broken most, or "
                                 "lower those on the right"));
  }
  for (const int gene : check.UnusedGenes) {
    findings.push_back(ControlFinding(
        c, "unused-gene", Severity::kWarning, kVariableCountLine, UnusedGeneWarning(gene),
        "lower the number of genes on " + OnLine(kVariableCountLine) +
            ", or give the gene a parameter"));
  }
  for (const BoundsCheck::NotCarried& n : check.NotCarriedThrough) {
    findings.push_back(ControlFinding(
        c, "not-carried", Severity::kWarning, IndexLineOf(n.Parameter.Parameter),
        NotCarriedWarning(n),
        "set the index of " + n.Parameter.Parameter.Name() + " to 0"));
  }
}

std::string WriteFailure(const NamedFile& result) {
  return std::string(text::kCannotWriteResult.Utf8) + result.Shown;
}

// The input file that a result path would replace.
const NamedFile* ReplacedInput(const Catchment& c, const fs::path& result) {
  std::error_code error;
  for (const NamedFile& file : c.Files) {
    if (file.Entry == FileEntry::kResult || !file.Lines) continue;
    if (fs::equivalent(file.Path, result, error)) return &file;
  }
  return nullptr;
}

void CheckResultFile(const Catchment& c, std::vector<Finding>& findings) {
  const NamedFile& result = c.File(FileEntry::kResult);
  if (!c.WritesResult()) return;
  if (result.Name.empty()) {
    Finding f = FindingAt(
        result, "no-result-name", Severity::kError, result.FileInfoLine,
        "FILEINFO.dat names no result file: " + MissingNameReason(c, result) +
            "; velm runs, then cannot write its result",
        "write 'label,result file name' on " + OnFileInfoLine(result) +
            ", and end the file with a line break");
    f.File = std::string(kFileInfoName);
    f.VelmMessage = WriteFailure(result);
    findings.push_back(std::move(f));
    return;
  }
  std::error_code error;
  const fs::path& path = result.Path;
  const fs::path folder = path.parent_path();
  std::string problem;
  if (fs::is_directory(path, error)) {
    problem = "it is a directory";
  } else if (!folder.empty() && !fs::is_directory(folder, error)) {
    problem = "its folder " + Quoted(folder.string()) + " does not exist";
  } else if (const NamedFile* input = ReplacedInput(c, path)) {
    findings.push_back(
        FindingAt(result, "result-replaces-input", Severity::kError, 0,
                  "the result file is the " + Quoted(input->Name) +
                      " that velm reads: the run would replace it",
                  "name a result file of its own on " +
                      OnFileInfoLine(result)));
    return;
  }
  if (problem.empty()) return;
  Finding f = FindingAt(
      result, "result-unwritable", Severity::kError, 0,
      "velm cannot write the result file " + Quoted(result.Name) + ": " +
          problem + "; it runs, then fails",
      "name a file in an existing folder on " + OnFileInfoLine(result) +
          ", or create the folder");
  f.VelmMessage = WriteFailure(result);
  findings.push_back(std::move(f));
}

}  // namespace

void CheckRun(const Catchment& c, std::vector<Finding>& findings) {
  if (!c.Settings) return;
  NoteRunMode(c, findings);
  if (c.WeatherRecord && c.WeatherRecord->DayCount() > 0) {
    NoteLength(c, findings);
  }
  if (c.ReadsObservedRunoff() && c.WeatherRecord && c.Observed) {
    CheckObserved(c, findings);
  }
  if (c.IsCalibration()) CheckCalibration(c, findings);
  CheckResultFile(c, findings);
}

}  // namespace velm::check
