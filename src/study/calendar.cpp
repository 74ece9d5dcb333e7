#include "study/calendar.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace velm::study {
namespace {

using namespace std::chrono;

// A field of exactly `width` digits.
std::optional<int> Digits(std::string_view text, std::size_t width) {
  if (text.size() != width) return std::nullopt;
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() ||
      text.front() == '-' || text.front() == '+') {
    return std::nullopt;
  }
  return value;
}

std::optional<Date> MakeDate(int y, int m, int d) {
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  const year_month_day date{year(y), month(static_cast<unsigned>(m)),
                            day(static_cast<unsigned>(d))};
  if (!date.ok()) return std::nullopt;
  return sys_days(date);
}

bool IsLeapDay(Date date) {
  const year_month_day d(date);
  return d.month() == February && d.day() == day(29);
}

}  // namespace

std::optional<Date> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const auto y = Digits(text.substr(0, 4), 4);
  const auto m = Digits(text.substr(5, 2), 2);
  const auto d = Digits(text.substr(8, 2), 2);
  if (!y || !m || !d) return std::nullopt;
  return MakeDate(*y, *m, *d);
}

std::string IsoDate(Date date) {
  const year_month_day d(date);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(d.year()),
                static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
  return text;
}

std::optional<DateRange> ParseDateRange(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto from = ParseIsoDate(text.substr(0, colon));
  const auto to = ParseIsoDate(text.substr(colon + 1));
  if (!from || !to) return std::nullopt;
  return DateRange{*from, *to};
}

std::string RangeText(const DateRange& range) {
  return IsoDate(range.From) + ":" + IsoDate(range.To);
}

std::optional<YearStart> ParseYearStart(std::string_view text) {
  if (text.size() != 5 || text[2] != '-') return std::nullopt;
  const auto m = Digits(text.substr(0, 2), 2);
  const auto d = Digits(text.substr(3, 2), 2);
  // A year that begins on 29 February would not begin every year.
  if (!m || !d || !MakeDate(2001, *m, *d)) return std::nullopt;
  return YearStart{static_cast<unsigned>(*m), static_cast<unsigned>(*d)};
}

std::optional<RecordCalendar> RecordCalendar::Of(const Calendar& dates,
                                                 std::string& problem) {
  RecordCalendar calendar;
  for (std::size_t i = 0; i < dates.Year.size(); ++i) {
    const int line = static_cast<int>(i) + 1;
    const auto date = MakeDate(dates.Year[i], dates.Month[i], dates.Day[i]);
    char given[48];
    std::snprintf(given, sizeof given, "%d,%d,%d", dates.Year[i],
                  dates.Month[i], dates.Day[i]);
    if (!date) {
      problem = "line " + std::to_string(line) + " dates its day " + given +
                ", which is no date";
      return std::nullopt;
    }
    if (!calendar.dates_.empty()) {
      const Date next = calendar.dates_.back() + days(1);
      if (*date != next && !(IsLeapDay(next) && *date == next + days(1))) {
        problem = "line " + std::to_string(line) + " dates its day " + given +
                  " where " + IsoDate(next) + " was due";
        return std::nullopt;
      }
    }
    calendar.dates_.push_back(*date);
  }
  return calendar;
}

std::optional<DayRange> RecordCalendar::DaysOf(const DateRange& range) const {
  if (dates_.empty() || range.From < dates_.front() ||
      range.To > dates_.back()) {
    return std::nullopt;
  }
  const auto first =
      std::lower_bound(dates_.begin(), dates_.end(), range.From);
  const auto after = std::upper_bound(dates_.begin(), dates_.end(), range.To);
  return DayRange{static_cast<int>(first - dates_.begin()),
                  static_cast<int>(after - dates_.begin()) - 1};
}

Date RecordCalendar::DateAfterEnd(int day) const {
  return dates_.back() + days(day - (DayCount() - 1));
}

std::optional<DefaultPeriods> SplitHydrologicalYears(
    const RecordCalendar& calendar, YearStart start, int& wholeYears) {
  wholeYears = 0;
  if (calendar.DayCount() == 0) return std::nullopt;
  const Date first = calendar.DateOf(0);
  const Date last = calendar.DateOf(calendar.DayCount() - 1);
  const auto yearStarting = [&](int y) {
    return sys_days(year_month_day{year(y), month(start.Month), day(start.Day)});
  };
  int y = static_cast<int>(year_month_day(first).year());
  if (yearStarting(y) < first) ++y;
  std::vector<Date> starts{yearStarting(y)};
  while (yearStarting(y + 1) - days(1) <= last) starts.push_back(yearStarting(++y));
  wholeYears = static_cast<int>(starts.size()) - 1;
  if (wholeYears < 2) return std::nullopt;
  const int calibrationYears = (wholeYears + 1) / 2;
  const Date split = starts[static_cast<std::size_t>(calibrationYears)];
  return DefaultPeriods{{starts.front(), split - days(1)},
                        {split, starts.back() - days(1)}};
}

}  // namespace velm::study
