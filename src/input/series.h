#pragma once

// The data series of a run as the model and the result file use them, and
// how they are made from plain series (the Python module's arrays, the page's
// model) as the readers make them from the files.

#include <cstddef>
#include <optional>
#include <string>
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
  // The values as the file or the series gives them, before the conversion
  // and the padding, which a writer writes back.
  std::vector<double> Given;
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

// The daily values of the evaporation file that give `weather`'s hourly
// potential evaporation, one per whole day; std::invalid_argument, naming
// the first day, when the hours are not one tenth of a day's value in hours
// 9 to 18 and 0 in the others, as the file's are.
std::vector<double> DailyPotentialEOf(const Weather& weather);

// The date of day `day` (from 0) of `dates`, counted on past its last day
// for the hours of a trailing partial day.
struct DayDate {
  int Year = 0;
  int Month = 0;
  int Day = 0;
};
DayDate DateOfDay(const Calendar& dates, std::size_t day);
// Days from 1970-01-01, as numpy's datetime64[D] counts them; nothing for a
// date that is none (a calendar read from a file may hold one).
std::optional<long long> DaysSince1970(const DayDate& date);
// As ISO 8601 writes it: "2001-09-03".
std::string DateText(const DayDate& date);

// Refuses (std::invalid_argument) rain or potential evaporation, hourly or
// per whole day, that is not a finite number, naming the first one's date
// and hour: the model would take a NaN hour of rain for 0 while the day's
// total is NaN, and the files cannot hold one.
void RefuseNonFinite(const std::vector<double>& rain,
                     const std::vector<double>& potentialE,
                     const Calendar& dates);

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
