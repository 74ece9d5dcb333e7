#include "input/series.h"

#include <chrono>
#include <stdexcept>
#include <string>

#include "model/simulate.h"

namespace velm {
namespace {

// Potential evaporation falls in the daytime hours 9 to 18 of a day, one
// tenth of the day's value in each.
constexpr int kFirstEvaporationHour = 9;
constexpr int kLastEvaporationHour = 18;
constexpr double kEvaporationShare = 0.1;

std::vector<double> DailyTotals(const std::vector<double>& hourly) {
  std::vector<double> days(hourly.size() / kHoursPerDay);
  SumDaily(hourly, days);
  return days;
}

}  // namespace

Weather WeatherOf(std::vector<double> rain,
                  const std::vector<double>& dailyPotentialE, Calendar dates) {
  Weather weather;
  weather.Rain = std::move(rain);
  weather.Dates = std::move(dates);
  const std::size_t days = weather.Rain.size() / kHoursPerDay;
  // Hours of a trailing partial day have no evaporation.
  weather.PotentialE.assign(weather.Rain.size(), 0.0);
  for (std::size_t d = 0; d < days; ++d) {
    for (int h = kFirstEvaporationHour; h <= kLastEvaporationHour; ++h) {
      weather.PotentialE[kHoursPerDay * d + h - 1] =
          kEvaporationShare * dailyPotentialE[d];
    }
  }
  weather.DailyRain = DailyTotals(weather.Rain);
  weather.DailyPotentialE = DailyTotals(weather.PotentialE);
  return weather;
}

Weather WeatherOfSeries(std::vector<double> rain,
                        std::vector<double> potentialE, Calendar dates) {
  const std::size_t hours = rain.size();
  const std::size_t days = hours / kHoursPerDay;
  if (potentialE.size() == days) {
    return WeatherOf(std::move(rain), potentialE, std::move(dates));
  }
  if (potentialE.size() != hours) {
    throw std::invalid_argument(
        "potential evaporation must hold a value per hour of the rain (" +
        std::to_string(hours) + ") or per whole day (" + std::to_string(days) +
        "), not " + std::to_string(potentialE.size()));
  }
  Weather weather;
  weather.Rain = std::move(rain);
  weather.PotentialE = std::move(potentialE);
  weather.Dates = std::move(dates);
  weather.DailyRain = DailyTotals(weather.Rain);
  weather.DailyPotentialE = DailyTotals(weather.PotentialE);
  return weather;
}

Calendar CalendarFrom(int year, unsigned month, unsigned day,
                      std::size_t days) {
  using namespace std::chrono;
  const year_month_day first{std::chrono::year(year), std::chrono::month(month),
                             std::chrono::day(day)};
  if (!first.ok()) throw std::invalid_argument("the start is not a date");
  Calendar dates;
  for (std::size_t d = 0; d < days; ++d) {
    const year_month_day date{sys_days(first) +
                              std::chrono::days(static_cast<int>(d))};
    dates.Year.push_back(static_cast<int>(date.year()));
    dates.Month.push_back(
        static_cast<int>(static_cast<unsigned>(date.month())));
    dates.Day.push_back(static_cast<int>(static_cast<unsigned>(date.day())));
  }
  return dates;
}

double ObservedDepth(double q, double catchmentArea) {
  return catchmentArea == 1.0 ? q : q * 3600 / catchmentArea * 0.001;
}

ObservedRunoff ObservedOf(const std::vector<double>& values, std::size_t hours,
                          double catchmentArea) {
  if (values.size() > hours) {
    throw std::invalid_argument(
        "the observed runoff holds " + std::to_string(values.size()) +
        " hours, more than the rain's " + std::to_string(hours));
  }
  ObservedRunoff observed;
  observed.Hourly.assign(hours, 0.0);
  for (std::size_t t = 0; t < values.size(); ++t) {
    observed.Hourly[t] = ObservedDepth(values[t], catchmentArea);
  }
  observed.Daily = DailyTotals(observed.Hourly);
  return observed;
}

}  // namespace velm
