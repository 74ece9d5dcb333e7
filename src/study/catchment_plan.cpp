#include "study/catchment_plan.h"

#include <fstream>
#include <memory>
#include <optional>

#include "check/check_directory.h"
#include "input/input_error.h"
#include "input/run_inputs.h"
#include "results/fit.h"

namespace velm::study {
namespace {

std::string Located(const check::Finding& finding) {
  std::string where = finding.File;
  if (finding.Line > 0) where += ":" + std::to_string(finding.Line);
  return where;
}

std::optional<Refusal> CheckedAsVelmCheckChecks(
    const std::filesystem::path& source) {
  const check::Report report = check::CheckDirectory(source, "");
  for (const check::Finding& finding : report.Findings) {
    if (finding.Level != check::Severity::kError) continue;
    return Refusal{"velm-check refuses the directory: " + Located(finding) +
                   ": " + finding.Message +
                   (finding.Fix.empty() ? "" : "; fix: " + finding.Fix)};
  }
  if (!report.Checked) return Refusal{"it is no catchment directory"};
  return std::nullopt;
}

std::optional<Refusal> AsksForACalibrationWithAFit(const RunSettings& s) {
  if (s.RunMode == 0) {
    return Refusal{
        "its control file asks for a simulation (line 5 is 0), and "
        "velm-study calibrates: set line 5 to 1 and give the genes' indices"};
  }
  if (s.OutputFlag == 2) {
    return Refusal{
        "its control file scores the ordering rules alone (line 9 is 2), so "
        "a calibration sees no fit: set line 9 to 0"};
  }
  return std::nullopt;
}

// Both periods as dates: given, or the default split.
std::variant<DefaultPeriods, Refusal> PeriodsOf(const RecordCalendar& calendar,
                                                const StudyOptions& options) {
  if (options.Calibration) {
    return DefaultPeriods{*options.Calibration, *options.Validation};
  }
  int years = 0;
  if (auto split = SplitHydrologicalYears(calendar, options.HydrologicalYear,
                                          years)) {
    return *split;
  }
  const YearStart& start = options.HydrologicalYear;
  char first[8];
  std::snprintf(first, sizeof first, "%02u-%02u", start.Month, start.Day);
  return Refusal{"its record, " + IsoDate(calendar.DateOf(0)) + " to " +
                 IsoDate(calendar.DateOf(calendar.DayCount() - 1)) +
                 ", holds " + std::to_string(years) + " whole hydrological " +
                 (years == 1 ? "year" : "years") + " (from " + first +
                 "), and the default split needs 2: give --calibration and "
                 "--validation"};
}

std::variant<DayRange, Refusal> DaysOf(const RecordCalendar& calendar,
                                       const DateRange& range,
                                       std::string_view name,
                                       const std::vector<double>& observed) {
  const std::string period = std::string(name) + " period " + RangeText(range);
  if (range.To < range.From) {
    return Refusal{"the " + period +
                   " ends before it begins: give FROM:TO with TO not "
                   "before FROM"};
  }
  const auto days = calendar.DaysOf(range);
  if (!days) {
    return Refusal{"the " + period + " reaches beyond the record, " +
                   IsoDate(calendar.DateOf(0)) + " to " +
                   IsoDate(calendar.DateOf(calendar.DayCount() - 1)) +
                   ": give dates within it"};
  }
  int fitDays = 0;
  for (int d = days->First; d <= days->Last; ++d) {
    fitDays += IsFitDay(observed[static_cast<std::size_t>(d)]) ? 1 : 0;
  }
  if (fitDays < kMinimumFitDays) {
    return Refusal{"the " + period + " has " + std::to_string(fitDays) +
                   " days with observed runoff above 0, fewer than " +
                   std::to_string(kMinimumFitDays) +
                   ": give a longer period, or one with observed runoff"};
  }
  return *days;
}

std::string Heading(const std::string& name, std::string_view kind,
                    const DateRange& dates, const PeriodLayout& layout) {
  return "velm-study: " + name + ", the " + std::string(kind) + " period " +
         RangeText(dates) + " after " + std::to_string(layout.WarmupDays) +
         " days of warm-up";
}

void WritePrepared(const std::filesystem::path& directory,
                   const PreparedFiles& files) {
  std::filesystem::create_directories(directory);
  WriteText(directory / "FILEINFO.dat", files.FileInfo);
  WriteText(directory / "control.dat", files.Control);
  WriteText(directory / "parameters.dat", files.Parameters);
  WriteText(directory / "rain.csv", files.Rain);
  WriteText(directory / "ep.csv", files.Evaporation);
  WriteText(directory / "runoff.csv", files.Observed);
}

}  // namespace

std::filesystem::path PreparedDirectory(const std::filesystem::path& folder,
                                        PeriodKind kind) {
  return folder /
         (kind == PeriodKind::kCalibration ? "calibration" : "validation");
}

void WriteText(const std::filesystem::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    throw std::runtime_error("cannot write " +
                             std::string(reinterpret_cast<const char*>(
                                 path.generic_u8string().c_str())));
  }
}

std::variant<PreparedCatchment, Refusal> PrepareCatchment(
    const std::filesystem::path& source, const std::string& name,
    const StudyOptions& options, const std::filesystem::path& folder) {
  if (auto refusal = CheckedAsVelmCheckChecks(source)) return *refusal;
  const auto inputs = std::make_shared<RunInputs>(source);
  std::optional<CatchmentData> data;
  std::shared_ptr<const ObservedRunoff> observedRunoff;
  std::optional<TextLines> rain, evaporation, observed, control, parameters;
  try {
    data = CatchmentData::Read(inputs);
    if (data->Observed) observedRunoff = data->Observed();
    control = ReadInputFile(*inputs, FileEntry::kControl);
    parameters = ReadInputFile(*inputs, FileEntry::kParameter);
    rain = ReadInputFile(*inputs, FileEntry::kRain);
    evaporation = ReadInputFile(*inputs, FileEntry::kEvaporation);
    observed = ReadInputFile(*inputs, FileEntry::kObservedRunoff);
  } catch (const InputError& error) {
    return Refusal{"velm refuses it: " + error.Utf8Message()};
  }
  if (auto refusal = AsksForACalibrationWithAFit(data->Settings)) {
    return *refusal;
  }
  if (!observedRunoff) {
    return Refusal{"its control file compares no observed runoff, which a "
                   "calibration needs"};
  }
  std::string problem;
  const auto calendar = RecordCalendar::Of(data->WeatherRecord->Dates, problem);
  if (!calendar) {
    return Refusal{"its evaporation file's calendar breaks off: " + problem +
                   "; velm-study needs a day a line"};
  }
  const auto periods = PeriodsOf(*calendar, options);
  if (const auto* refusal = std::get_if<Refusal>(&periods)) return *refusal;
  const DefaultPeriods& dates = std::get<DefaultPeriods>(periods);
  const auto calibration =
      DaysOf(*calendar, dates.Calibration, "calibration", observedRunoff->Daily);
  if (const auto* refusal = std::get_if<Refusal>(&calibration)) return *refusal;
  const auto validation =
      DaysOf(*calendar, dates.Validation, "validation", observedRunoff->Daily);
  if (const auto* refusal = std::get_if<Refusal>(&validation)) return *refusal;
  const DayRange c = std::get<DayRange>(calibration);
  const DayRange v = std::get<DayRange>(validation);
  if (c.First <= v.Last && v.First <= c.Last) {
    return Refusal{"the calibration period " + RangeText(dates.Calibration) +
                   " and the validation period " +
                   RangeText(dates.Validation) +
                   " share days: give periods that do not overlap"};
  }

  PreparedCatchment prepared{name, folder, dates.Calibration,
                             dates.Validation,
                             LayoutFor(c, options.WarmupDays, calendar->DayCount()),
                             LayoutFor(v, options.WarmupDays, calendar->DayCount()),
                             {}, {}};
  const SourceFiles files{*rain, *evaporation, *observed, control->Text(),
                          parameters->Text(), *calendar};
  for (const PeriodKind kind : {PeriodKind::kCalibration, PeriodKind::kValidation}) {
    const bool isCalibration = kind == PeriodKind::kCalibration;
    const PeriodLayout& layout =
        isCalibration ? prepared.Calibration : prepared.Validation;
    const std::filesystem::path directory = PreparedDirectory(folder, kind);
    WritePrepared(directory,
                  PrepareFiles(files, layout, kind,
                               Heading(name, isCalibration ? "calibration" : "validation",
                                       isCalibration ? dates.Calibration
                                                     : dates.Validation,
                                       layout)));
    (isCalibration ? prepared.CalibrationData : prepared.ValidationData) =
        ReadCatchment(directory);
  }
  return prepared;
}

}  // namespace velm::study
