#include "report/series.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velm::report {
namespace {

// The shortest text that reads back as the same double: the result file's
// own digits.
void AppendField(std::string& out, double value) {
  out += ',';
  if (!std::isfinite(value)) return;
  char buffer[32];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, written.ptr);
}

}  // namespace

std::string IsoDate(const DayRow& day) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", day.Year, day.Month,
                day.Day);
  return buffer;
}

std::vector<bool> CountedDays(const ResultFile& result) {
  std::vector<bool> counted;
  for (const DayRow& d : result.Days) {
    counted.push_back(!result.HasObserved || d.Observed > 0);
  }
  return counted;
}

std::vector<MonthTotals> MonthlyTotals(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  std::vector<MonthTotals> months;
  for (std::size_t i = 0; i < result.Days.size(); ++i) {
    const DayRow& d = result.Days[i];
    if (months.empty() || months.back().Year != d.Year ||
        months.back().Month != d.Month) {
      months.push_back({d.Year, d.Month, 0.0,
                        result.HasObserved ? 0.0 : std::nan(""), 0.0, 0.0});
    }
    if (!counted[i]) continue;
    MonthTotals& m = months.back();
    m.Rain += d.Rain;
    if (result.HasObserved) m.Observed += d.Observed;
    m.Calculated += d.Calculated;
    m.PotentialE += d.PotentialE;
    m.ActualE += d.ActualE;
  }
  return months;
}

std::vector<int> MonthEntryOfDays(const ResultFile& result) {
  const std::vector<bool> counted = CountedDays(result);
  std::vector<int> entries;
  int entry = -1;
  for (std::size_t i = 0; i < result.Days.size(); ++i) {
    const DayRow& d = result.Days[i];
    if (i == 0 || result.Days[i - 1].Year != d.Year ||
        result.Days[i - 1].Month != d.Month) {
      ++entry;
    }
    entries.push_back(counted[i] ? entry : -1);
  }
  return entries;
}

std::string SeriesCsv(const ResultFile& result) {
  std::string out =
      "date,rain_mm,observed_runoff_mm,calculated_runoff_mm,"
      "potential_evaporation_mm,actual_evaporation_mm,"
      "infiltration_capacity_mm_per_h\r\n";
  for (const DayRow& d : result.Days) {
    out += IsoDate(d);
    for (double value : {d.Rain, d.Observed, d.Calculated, d.PotentialE,
                         d.ActualE, d.Infiltration}) {
      AppendField(out, value);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace velm::report
