#pragma once

// The study's calendar: whole days, named by ISO dates, taken from the
// evaporation file of each catchment. Periods are ranges of its days, and the
// default split is made of whole hydrological years.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/series.h"

namespace velm::study {

using Date = std::chrono::sys_days;

// "2001-10-01"; nothing for text that is no such date.
std::optional<Date> ParseIsoDate(std::string_view text);
std::string IsoDate(Date date);

// Both ends included.
struct DateRange {
  Date From;
  Date To;
};
// "FROM:TO"; nothing for text that is not two ISO dates.
std::optional<DateRange> ParseDateRange(std::string_view text);
std::string RangeText(const DateRange& range);

// The day of the year a hydrological year begins on: 1 October, as in the
// northern hemisphere, unless the user says otherwise.
struct YearStart {
  unsigned Month = 10;
  unsigned Day = 1;
};
// "MM-DD".
std::optional<YearStart> ParseYearStart(std::string_view text);

// Days from 0 on, both ends included.
struct DayRange {
  int First = 0;
  int Last = 0;
  int Count() const { return Last - First + 1; }
};

// The dates of a catchment's record, day by day: consecutive days, where a
// 29 February may be left out as calendars of 365-day years do.
class RecordCalendar {
 public:
  // Nothing when a date is no date or does not follow the one before it;
  // then `problem` says which day and why.
  static std::optional<RecordCalendar> Of(const Calendar& dates,
                                          std::string& problem);

  int DayCount() const { return static_cast<int>(dates_.size()); }
  Date DateOf(int day) const { return dates_[static_cast<std::size_t>(day)]; }
  // The days of the range; nothing when it reaches beyond the record.
  std::optional<DayRange> DaysOf(const DateRange& range) const;
  // The date of day `day`, also beyond the record's last day.
  Date DateAfterEnd(int day) const;

 private:
  std::vector<Date> dates_;
};

// The default periods: the record's whole hydrological years, the earlier
// half (the larger one, for an odd count) for calibration and the rest for
// validation. Nothing when the record holds fewer than two; `wholeYears`
// says how many it holds.
struct DefaultPeriods {
  DateRange Calibration;
  DateRange Validation;
};
std::optional<DefaultPeriods> SplitHydrologicalYears(
    const RecordCalendar& calendar, YearStart start, int& wholeYears);

}  // namespace velm::study
