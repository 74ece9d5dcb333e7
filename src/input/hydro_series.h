#pragma once

// The readers of the three data files: hourly rain, daily potential
// evaporation (which also gives the calendar) and hourly observed runoff; and
// their writers, whose text the readers read back to the same values.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_lines.h"
#include "input/series.h"

namespace velm {

// A record: leading fields (integers) separated by commas, then the value,
// which is everything after the last of those commas.
template <std::size_t LeadingCount>
struct RecordFields {
  std::array<std::string_view, LeadingCount> Leading;
  std::string_view Value;
};

// The fields of a data line: four leading fields for the hourly files, three
// for the evaporation file. Nothing when the line has too few commas.
template <std::size_t LeadingCount>
std::optional<RecordFields<LeadingCount>> SplitRecord(std::string_view line) {
  RecordFields<LeadingCount> record;
  for (std::string_view& field : record.Leading) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    field = line.substr(0, comma);
    line.remove_prefix(comma + 1);
  }
  record.Value = line;
  return record;
}

// The value of every rain record, one per hour.
std::vector<double> ParseRain(const TextLines& lines);

// The evaporation file's records for the whole days of `rain`: the calendar
// and the hourly potential evaporation; then the daily totals. Exactly one
// record per whole day.
Weather ParseEvaporation(const TextLines& lines, std::vector<double> rain);

// One value per hour of a run of `hours`, converted by the catchment area;
// hours after the end of a shorter file are 0, so their days count as
// unobserved. A file longer than the run is refused.
ObservedRunoff ParseObservedRunoff(const TextLines& lines, std::size_t hours,
                                   double catchmentArea);

// The rain file's text: "year,month,day,hour,value" per hour, CR LF.
std::string RainFileText(const Weather& weather);

// The evaporation file's text: "year,month,day,value" per whole day, the
// values DailyPotentialEOf gives (std::invalid_argument when there are none).
std::string EvaporationFileText(const Weather& weather);

// The observed-runoff file's text for the hourly values `given` on the
// weather's calendar. A day with a value that is not a finite number is
// written as a day of 0: a day without runoff, which the fit leaves out as it
// leaves out the gap.
std::string ObservedRunoffFileText(const std::vector<double>& given,
                                   const Calendar& dates);

}  // namespace velm
