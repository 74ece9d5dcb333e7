#pragma once

// The data series of a run as the model and the result file use them.

#include <vector>

namespace velm {

// The date of each whole day of the run.
struct Calendar {
  std::vector<int> Year;
  std::vector<int> Month;
  std::vector<int> Day;
};

// The rain and evaporation files: the rain file's records are the hours of
// the run, and every 24 of them a day.
struct Weather {
  std::vector<double> Rain;
  // The day's potential evaporation spread evenly over hours 9 to 18.
  std::vector<double> PotentialE;
  Calendar Dates;
  // Daily totals, summed as the fit sums every series.
  std::vector<double> DailyRain;
  std::vector<double> DailyPotentialE;

  int HourCount() const { return static_cast<int>(Rain.size()); }
  int DayCount() const { return static_cast<int>(Dates.Year.size()); }
};

// The observed-runoff file in model units, one value per hour of the run,
// and its daily totals.
struct ObservedRunoff {
  std::vector<double> Hourly;
  std::vector<double> Daily;
};

}  // namespace velm
