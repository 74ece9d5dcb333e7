#include "check/series_checks.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <set>
#include <span>

#include "check/field_checks.h"
#include "check/wording.h"
#include "common/number_format.h"
#include "common/number_parse.h"
#include "input/hydro_series.h"
#include "model/simulate.h"

namespace velm::check {
namespace {

namespace chrono = std::chrono;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// How far ahead a record that is out of place is looked for.
constexpr std::size_t kLookAhead = 48;

// A series' step: an hour, or a day.
struct Step {
  bool Hourly = true;
  std::string_view Unit() const { return Hourly ? "hour" : "day"; }
};

// When a record is: hours (or days) since 1970-01-01, or why its leading
// fields hold no date.
struct RecordTime {
  enum class Flaw { kNone, kNoNumber, kHourZero, kOutOfRange };
  long long Index = 0;
  Flaw What = Flaw::kNone;
  std::string Problem;
  bool Valid() const { return What == Flaw::kNone; }
};
using Flaw = RecordTime::Flaw;

std::optional<int> FieldNumber(std::string_view field) {
  if (!StartsWithNumber(field)) return std::nullopt;
  return ParseInt(field);
}

RecordTime TimeOf(std::span<const std::string_view> fields, Step step) {
  const char* names[] = {"year", "month", "day", "hour"};
  int value[4] = {0, 0, 0, 1};
  for (std::size_t i = 0; i < fields.size() && i < 4; ++i) {
    const auto number = FieldNumber(fields[i]);
    if (!number) {
      return {0, Flaw::kNoNumber,
              "its " + std::string(names[i]) + " is no number"};
    }
    value[i] = *number;
  }
  if (value[0] < 1 || value[0] > 9999) {
    return {0, Flaw::kOutOfRange,
            "year " + std::to_string(value[0]) + " is not from 1 to 9999"};
  }
  if (value[1] < 1 || value[1] > 12 || value[2] < 1 || value[2] > 31) {
    return {0, Flaw::kOutOfRange,
            "month " + std::to_string(value[1]) + ", day " +
                std::to_string(value[2]) + " is no date"};
  }
  const chrono::year_month_day date{chrono::year(value[0]),
                                    chrono::month(unsigned(value[1])),
                                    chrono::day(unsigned(value[2]))};
  if (!date.ok()) {
    return {0, Flaw::kOutOfRange,
            FormatPrintf("%04d-%02d-%02d", value[0], value[1], value[2]) +
                " is no day of the calendar"};
  }
  if (step.Hourly && (value[3] < 1 || value[3] > kHoursPerDay)) {
    return {0, value[3] == 0 ? Flaw::kHourZero : Flaw::kOutOfRange,
            "hour " + std::to_string(value[3]) +
                " is outside 1 to 24, the hours of a day"};
  }
  const long long day = chrono::sys_days(date).time_since_epoch().count();
  return {step.Hourly ? day * kHoursPerDay + value[3] - 1 : day, Flaw::kNone,
          ""};
}

std::string DayText(long long day) {
  const chrono::year_month_day date{chrono::sys_days(chrono::days(day))};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(date.year()),
                unsigned(date.month()), unsigned(date.day()));
  return text;
}

long long FloorDivide(long long a, long long b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::string TimeText(long long index, Step step) {
  if (!step.Hourly) return DayText(index);
  const long long day = FloorDivide(index, kHoursPerDay);
  return DayText(day) + " hour " +
         std::to_string(index - day * kHoursPerDay + 1);
}

// A series' records as the checker reads them.
struct Record {
  std::size_t Line = 0;
  std::string_view Text;
  RecordTime Time;
  std::string_view Value;
};

template <std::size_t Leading>
std::vector<Record> RecordsOf(const TextLines& lines, Step step) {
  std::vector<Record> records;
  records.reserve(lines.Count());
  for (std::size_t i = 0; i < lines.Count(); ++i) {
    std::string_view text = lines[i];
    // A byte order mark has a finding of its own.
    if (i == 0 && text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
    }
    const auto fields = SplitRecord<Leading>(text);
    if (!fields) break;  // velm refuses the line
    const std::size_t dateFields = step.Hourly ? 4 : 3;
    records.push_back(
        {i + 1, lines[i],
         TimeOf(std::span(fields->Leading).first(dateFields), step),
         fields->Value});
  }
  return records;
}

struct SeriesFile {
  const NamedFile& File;
  Step Kind;
  std::vector<Record> Records;
};

std::string Fix(const SeriesFile& s) {
  const std::string unit(s.Kind.Unit());
  return "velm does not read the dates: it takes the records in file order, "
         "one per " +
         unit +
         " from the first, so a record missing, repeated "
         "or out of order shifts every later " +
         unit + ". Give every " + unit + " one record, in order";
}

// Why the record at `i` does not follow the one before.
std::string BreakText(const SeriesFile& s, std::size_t i) {
  const Record& r = s.Records[i];
  const Record& before = s.Records[i - 1];
  const Step step = s.Kind;
  const long long expected = before.Time.Index + 1;
  std::string text = "line " + std::to_string(r.Line) + " holds " +
                     TimeText(r.Time.Index, step) + " where " +
                     TimeText(expected, step) + " should follow " +
                     TimeText(before.Time.Index, step) + " (line " +
                     std::to_string(before.Line) + ")";
  const long long gap = r.Time.Index - expected;
  if (gap < 0) {
    return text + (gap == -1
                       ? ": the " + std::string(step.Unit()) + " is repeated"
                       : ": the records go back in time");
  }
  for (std::size_t j = i + 1; j < s.Records.size() && j <= i + kLookAhead;
       ++j) {
    if (s.Records[j].Time.Valid() && s.Records[j].Time.Index == expected) {
      return text + ": the records are out of order, " +
             TimeText(expected, step) + " is on line " +
             std::to_string(s.Records[j].Line);
    }
  }
  return text + ": " + Count(static_cast<std::size_t>(gap), step.Unit()) +
         (gap == 1 ? " is" : " are") + " missing";
}

long long DayOf(const RecordTime& t, Step step) {
  return step.Hourly ? FloorDivide(t.Index, kHoursPerDay) : t.Index;
}

// The year whose 29 February the record at `i` follows without, when that
// day is all that is missing: the record before is the last of 28 February,
// this one the first of 1 March.
std::optional<int> SkippedLeapDay(const SeriesFile& s, std::size_t i) {
  if (i == 0) return std::nullopt;
  const RecordTime& before = s.Records[i - 1].Time;
  const RecordTime& now = s.Records[i].Time;
  if (!before.Valid() || !now.Valid()) return std::nullopt;
  const long long perDay = s.Kind.Hourly ? kHoursPerDay : 1;
  if (now.Index != before.Index + perDay + 1 || now.Index % perDay != 0) {
    return std::nullopt;
  }
  const chrono::year_month_day missing{
      chrono::sys_days(chrono::days(DayOf(before, s.Kind) + 1))};
  if (missing.month() != chrono::February || missing.day() != chrono::day(29)) {
    return std::nullopt;
  }
  return int(missing.year());
}

// The leap years whose 29 February every series leaves out alike, so that
// they stay aligned; a series that ends before or begins after the day
// does not count.
using LeapYears = std::set<int>;

LeapYears SkippedLeapDays(const SeriesFile& s) {
  LeapYears years;
  for (std::size_t i = 1; i < s.Records.size(); ++i) {
    if (const auto year = SkippedLeapDay(s, i)) years.insert(*year);
  }
  return years;
}

bool Spans(const SeriesFile& s, int year) {
  const auto valid = [](const Record& r) { return r.Time.Valid(); };
  const auto first = std::find_if(s.Records.begin(), s.Records.end(), valid);
  const auto last = std::find_if(s.Records.rbegin(), s.Records.rend(), valid);
  if (first == s.Records.end()) return false;
  const long long leapDay =
      chrono::sys_days(chrono::year(year) / chrono::February / 29)
          .time_since_epoch()
          .count();
  return DayOf(first->Time, s.Kind) < leapDay &&
         DayOf(last->Time, s.Kind) > leapDay;
}

LeapYears SkippedAlike(const std::vector<const SeriesFile*>& series) {
  LeapYears alike = SkippedLeapDays(*series.front());
  for (const SeriesFile* s : series) {
    const LeapYears own = SkippedLeapDays(*s);
    std::erase_if(alike,
                  [&](int y) { return !own.contains(y) && Spans(*s, y); });
  }
  return alike;
}

void NoteLeapDays(const SeriesFile& rain, const LeapYears& years,
                  std::size_t files, std::vector<Finding>& findings) {
  std::string days;
  std::size_t line = 0;
  for (const int year : years) {
    days += (days.empty() ? "" : ", ") + std::to_string(year);
  }
  for (std::size_t i = 1; i < rain.Records.size() && line == 0; ++i) {
    if (SkippedLeapDay(rain, i)) line = rain.Records[i].Line;
  }
  findings.push_back(FindingAt(
      rain.File, "leap-days-left-out", Severity::kNote, line,
      std::string(files == 3 ? "the rain, evaporation and observed-runoff "
                               "files all"
                             : "the rain and evaporation files both") +
          " leave out 29 February in " + days +
          ", as a calendar of 365-day years does: they stay aligned, the "
          "result file dates the days from the evaporation file, and the "
          "model goes from 28 February straight to 1 March",
      ""));
}

// Why the record at `i` breaks the order of the records, or nothing.
std::optional<std::string> OrderBreak(const SeriesFile& s, std::size_t i) {
  const Record& r = s.Records[i];
  if (!r.Time.Valid()) {
    std::string text = "line " + std::to_string(r.Line) + " holds no date (" +
                       r.Time.Problem + "): " + Quoted(r.Text);
    if (r.Time.What == Flaw::kHourZero) {
      text +=
          "; are the hours numbered 0 to 23? velm's files number them 1 "
          "to 24";
    } else if (i == 0 && r.Time.What == Flaw::kNoNumber) {
      text +=
          "; a heading? velm reads it as a record, which shifts every "
          "later " +
          std::string(s.Kind.Unit()) + " by one";
    }
    return text;
  }
  if (i > 0 && s.Records[i - 1].Time.Valid() &&
      r.Time.Index != s.Records[i - 1].Time.Index + 1) {
    return BreakText(s, i);
  }
  return std::nullopt;
}

// The first record that does not follow the one before it, and how many do
// not; a 29 February that every series leaves out is no break.
void CheckSequence(const SeriesFile& s, const LeapYears& alike,
                   std::vector<Finding>& findings) {
  std::string first;
  std::size_t firstLine = 0;
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < s.Records.size(); ++i) {
    std::optional<std::string> text = OrderBreak(s, i);
    if (!text) continue;
    const std::optional<int> leap = SkippedLeapDay(s, i);
    if (leap && alike.contains(*leap)) continue;
    if (breaks++ == 0) {
      first = std::move(*text);
      firstLine = s.Records[i].Line;
    }
  }
  if (breaks == 0) return;
  if (breaks > 1) {
    first += "; " + Count(breaks - 1, "more line") + " break the order";
  }
  findings.push_back(FindingAt(s.File, "dates-out-of-order", Severity::kWarning, firstLine,
                               std::move(first), Fix(s)));
}

void CheckFields(const SeriesFile& s, std::vector<Finding>& findings) {
  std::vector<std::string_view> values;
  values.reserve(s.Records.size());
  for (const Record& r : s.Records) values.push_back(r.Value);
  CheckExtraFields(s.File, values, findings);
}

void CheckValues(const SeriesFile& s, std::vector<Finding>& findings) {
  struct Tally {
    std::size_t Count = 0;
    const Record* First = nullptr;
    void Add(const Record& r) {
      if (Count++ == 0) First = &r;
    }
  } negative, infinite, noNumber;
  double sum = 0;
  for (const Record& r : s.Records) {
    const double value = ParseReal(r.Value);
    if (std::isfinite(value)) sum += value;
    // A line without a date has its finding already.
    if (!r.Time.Valid()) continue;
    if (!StartsWithNumber(r.Value)) {
      noNumber.Add(r);
    } else if (std::isinf(value)) {
      infinite.Add(r);
    } else if (value < 0) {
      negative.Add(r);
    }
  }
  const auto line = [](const Tally& t) { return t.First->Line; };
  const auto others = [](const Tally& t) {
    return t.Count > 1 ? " (" + Count(t.Count, "record") + " in all)" : "";
  };
  if (infinite.Count > 0) {
    findings.push_back(FindingAt(
        s.File, "infinite-value", Severity::kError, line(infinite),
        "the value " + Quoted(infinite.First->Value) +
            " is beyond the range of numbers and reads as infinite" +
            others(infinite) + ": the simulation's results become nan",
        "write the value as an ordinary decimal number"));
  }
  if (noNumber.Count > 0) {
    findings.push_back(FindingAt(
        s.File, "value-not-a-number", Severity::kWarning, line(noNumber),
        "the value " + Quoted(noNumber.First->Value) +
            " is no number, and velm reads it as 0" + others(noNumber),
        "write every value as a decimal number; give a missing value an "
        "estimate"));
  }
  // Evaporation that is negative on the whole is in another unit, which has
  // a finding of its own.
  const bool otherUnit = s.File.Entry == FileEntry::kEvaporation && sum < 0;
  if (negative.Count > 0 && !otherUnit) {
    findings.push_back(FindingAt(
        s.File, "negative-value", Severity::kWarning, line(negative),
        "the value " + Quoted(negative.First->Value) + " is negative" +
            others(negative) +
            ", probably a code for a missing value; velm uses it as it stands",
        "give a missing value an estimate instead of a code"));
  }
}

// The first record of a series against the rain file's first record.
void CheckStart(const SeriesFile& s, const SeriesFile& rain,
                std::vector<Finding>& findings) {
  if (s.Records.empty() || rain.Records.empty()) return;
  const RecordTime& start = s.Records.front().Time;
  const RecordTime& rainStart = rain.Records.front().Time;
  if (!start.Valid() || !rainStart.Valid()) return;
  const long long expected = s.Kind.Hourly
                                 ? rainStart.Index
                                 : FloorDivide(rainStart.Index, kHoursPerDay);
  if (start.Index == expected) return;
  const long long offset = start.Index - expected;
  const std::string unit(s.Kind.Unit());
  const std::string what =
      s.Kind.Hourly
          ? "velm pairs observed and rain records by position, not by date, "
            "so every hour is compared with the rain of another hour"
          : "velm dates the days of the result file from this file, so "
            "every day would carry a wrong date";
  findings.push_back(FindingAt(
      s.File, "start-differs", Severity::kWarning, s.Records.front().Line,
      "the first record is for " + TimeText(start.Index, s.Kind) +
          ", but the rain file begins with " + TimeText(expected, s.Kind) +
          " (" + Count(static_cast<std::size_t>(std::llabs(offset)), unit) +
          (offset < 0 ? " earlier" : " later") + "): " + what,
      "begin the file with the rain file's first " + unit +
          ", and give one record per " + unit + " of the rain file"));
}

void CheckRainStart(const SeriesFile& rain, std::vector<Finding>& findings) {
  if (rain.Records.empty() || !rain.Records.front().Time.Valid()) return;
  const long long first = rain.Records.front().Time.Index;
  const long long hour =
      first - FloorDivide(first, kHoursPerDay) * kHoursPerDay;
  if (hour == 0) return;
  findings.push_back(FindingAt(
      rain.File, "rain-starts-within-a-day", Severity::kWarning, 1,
      "the first record is for " + TimeText(first, rain.Kind) +
          ": velm makes a day of every 24 records from the first, so each "
          "day of the result would run from hour " +
          std::to_string(hour + 1) + " to hour " + std::to_string(hour) +
          " of the next day",
      "begin the rain, evaporation and observed-runoff files with hour 1 of "
      "the first day"));
}

void CheckRainLength(const SeriesFile& rain, std::vector<Finding>& findings) {
  const std::size_t hours = rain.File.Lines->Count();
  if (hours < kHoursPerDay) {
    findings.push_back(FindingAt(
        rain.File, "no-whole-day", Severity::kError, 0,
        "the rain file has " + Count(hours, "record") +
            ", not one whole day: velm has no day to write or compare",
        "give the rain file one record per hour, 24 for each day"));
    return;
  }
  const std::size_t rest = hours % kHoursPerDay;
  if (rest == 0) return;
  const std::string last =
      rest == 1 ? "the last record is"
                : "the last " + Count(rest, "record") + ", from this line, are";
  findings.push_back(FindingAt(
      rain.File, "part-of-a-day", Severity::kWarning, hours - rest + 1,
      last + " part of a day: velm simulates " + (rest == 1 ? "it" : "them") +
          " without evaporation and writes no row for " +
          (rest == 1 ? "it" : "them"),
      "give the rain file whole days, 24 records each"));
}

// An observed-runoff file that ends within a day leaves that day with a
// partial total, which is still compared if it is above 0.
void CheckRunoffLength(const SeriesFile& runoff, std::size_t hours,
                       std::vector<Finding>& findings) {
  const std::size_t records = runoff.File.Lines->Count();
  const std::size_t days = hours / kHoursPerDay;
  if (records == 0 || records >= days * kHoursPerDay) return;
  const std::size_t rest = records % kHoursPerDay;
  if (rest == 0) {
    findings.push_back(FindingAt(runoff.File, "observed-shorter", Severity::kNote, 0,
                                 "the observed runoff covers the first " +
                                     Count(records / kHoursPerDay, "day") +
                                     " of " + std::to_string(days) +
                                     "; velm compares no later day",
                                 ""));
    return;
  }
  findings.push_back(FindingAt(
      runoff.File, "observed-ends-within-a-day", Severity::kWarning, records,
      "the file ends within a day: its last day, day " +
          std::to_string(records / kHoursPerDay + 1) + ", has " +
          std::to_string(rest) +
          " of 24 hours; the missing hours count as "
          "0, so that day's observed total is too small, and it is still "
          "compared",
      "give the day's remaining hours, or end the file with a whole day"));
}

bool IsUsable(const NamedFile& file) { return file.Lines.has_value(); }

}  // namespace

std::size_t FirstOrderBreak(const TextLines& lines) {
  const NamedFile none;
  const SeriesFile rain{none, {true}, RecordsOf<4>(lines, {true})};
  for (std::size_t i = 0; i < rain.Records.size(); ++i) {
    if (OrderBreak(rain, i)) return rain.Records[i].Line;
  }
  return 0;
}

void CheckSeries(const Catchment& c, std::vector<Finding>& findings) {
  const NamedFile& rainFile = c.File(FileEntry::kRain);
  const NamedFile& epFile = c.File(FileEntry::kEvaporation);
  const NamedFile& runoffFile = c.File(FileEntry::kObservedRunoff);
  if (!IsUsable(rainFile)) return;
  const SeriesFile rain{
      rainFile, {true}, RecordsOf<4>(*rainFile.Lines, {true})};
  std::optional<SeriesFile> ep, runoff;
  if (IsUsable(epFile)) {
    ep.emplace(
        SeriesFile{epFile, {false}, RecordsOf<3>(*epFile.Lines, {false})});
  }
  if (c.ReadsObservedRunoff() && IsUsable(runoffFile)) {
    runoff.emplace(SeriesFile{
        runoffFile, {true}, RecordsOf<4>(*runoffFile.Lines, {true})});
  }
  // Leap days left out alike need the evaporation file, the calendar.
  std::vector<const SeriesFile*> series{&rain};
  if (ep) series.push_back(&*ep);
  if (runoff) series.push_back(&*runoff);
  const LeapYears alike = ep ? SkippedAlike(series) : LeapYears{};
  if (!alike.empty()) NoteLeapDays(rain, alike, series.size(), findings);

  CheckRainLength(rain, findings);
  CheckRainStart(rain, findings);
  CheckSequence(rain, alike, findings);
  CheckValues(rain, findings);
  CheckFields(rain, findings);
  if (ep) {
    CheckStart(*ep, rain, findings);
    CheckSequence(*ep, alike, findings);
    CheckValues(*ep, findings);
    CheckFields(*ep, findings);
  }
  if (runoff) {
    CheckStart(*runoff, rain, findings);
    CheckSequence(*runoff, alike, findings);
    CheckValues(*runoff, findings);
    CheckFields(*runoff, findings);
    CheckRunoffLength(*runoff, rainFile.Lines->Count(), findings);
  }
}

}  // namespace velm::check
