#pragma once

// The data series of a run as the model and the result file use them, and
// how they are made from plain series (the Python module's arrays, the page's
// model) as the readers make them from the files.

#include <cstddef>
#include <optional>
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

// The weather of hourly `rain` with the potential evaporation of each of its
// whole days spread over the hours as the evaporation file's is, and the
// daily totals; `dates` and `dailyPotentialE` hold one entry per whole day.
Weather WeatherOf(std::vector<double> rain,
                  const std::vector<double>& dailyPotentialE, Calendar dates);

// The same with the potential evaporation of every hour, or of every whole
// day; a series of another length is refused with std::invalid_argument.
Weather WeatherOfSeries(std::vector<double> rain,
                        std::vector<double> potentialE, Calendar dates);

// The dates of `days` whole days from `year`-`month`-`day` on; a start that
// is no date is refused with std::invalid_argument.
Calendar CalendarFrom(int year, unsigned month, unsigned day,
                      std::size_t days);

// Observed runoff q per second over an area in km² as a depth per hour; an
// area of exactly 1 means the values are already depths.
double ObservedDepth(double q, double catchmentArea);

// One value per hour of a run of `hours`, converted by the catchment area;
// hours after the end of a shorter series are 0, so their days count as
// unobserved. A longer series is refused with std::invalid_argument.
ObservedRunoff ObservedOf(const std::vector<double>& values, std::size_t hours,
                          double catchmentArea);

}  // namespace velm
