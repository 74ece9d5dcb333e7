#pragma once

// The readers of the three data files: hourly rain, daily potential
// evaporation (which also gives the calendar) and hourly observed runoff.

#include <array>
#include <cstddef>
#include <optional>
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

}  // namespace velm
