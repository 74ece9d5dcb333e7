#pragma once

// The daily series of a result file as the page and the --series file give
// them: the days that the sums count, the monthly totals, and the series as a
// plain CSV file.

#include <string>
#include <vector>

#include "report/result_reader.h"

namespace velm::report {

// The days that the water balance, the monthly totals and the cumulative
// curves count: the fit days when there is an observed series, else every
// day.
std::vector<bool> CountedDays(const ResultFile& result);

// "2001-01-31": the day's date in ISO 8601 form.
std::string IsoDate(const DayRow& day);

// Sums over the counted days of one calendar month, in mm.
struct MonthTotals {
  int Year = 0;
  int Month = 0;
  double Rain = 0.0;
  double Observed = 0.0;  // NaN without an observed series
  double Calculated = 0.0;
  double PotentialE = 0.0;
  double ActualE = 0.0;
};

// One entry per run of days of the same month, in the order of the file.
std::vector<MonthTotals> MonthlyTotals(const ResultFile& result);

// Per day, the entry of MonthlyTotals whose sums count it; -1 for a day
// that is not counted.
std::vector<int> MonthEntryOfDays(const ResultFile& result);

// UTF-8 CSV with one header line and one line per day, CR LF line ends: an
// ISO date, then the daily values with the file's digits. A value that is
// missing (no observed series) or not finite is an empty field, so every
// row has as many fields as the header.
std::string SeriesCsv(const ResultFile& result);

}  // namespace velm::report
