#include "input/series.h"

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>

#include "common/number_format.h"
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

std::string TwoDigits(int value) {
  std::string digits = std::to_string(value);
  if (value >= 0 && value < 10) digits.insert(digits.begin(), '0');
  return digits;
}

// The first value that is not a finite number, by its date and hour.
void RefuseNonFiniteIn(const std::vector<double>& values, bool daily,
                     const Calendar& dates, std::string_view what) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (std::isfinite(values[i])) continue;
    const std::size_t day = daily ? i : i / kHoursPerDay;
    std::string when = DateText(DateOfDay(dates, day));
    if (!daily) when += " hour " + std::to_string(i % kHoursPerDay + 1);
    throw std::invalid_argument(std::string(what) + " must be a finite number, not " +
                                FormatShortest(values[i]) + " at " + when);
  }
}

// The day's value x whose tenth is `hourly`, as WeatherOf computes it.
std::optional<double> DayValueGiving(double hourly) {
  double x = hourly / kEvaporationShare;
  for (int step = 0; step < 4 && kEvaporationShare * x != hourly; ++step) {
    x = std::nextafter(x, kEvaporationShare * x < hourly ? INFINITY : -INFINITY);
  }
  if (kEvaporationShare * x != hourly) return std::nullopt;
  return x;
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

void RefuseNonFinite(const std::vector<double>& rain,
                     const std::vector<double>& potentialE,
                     const Calendar& dates) {
  const std::size_t days = rain.size() / kHoursPerDay;
  RefuseNonFiniteIn(rain, false, dates, "rain");
  RefuseNonFiniteIn(potentialE, potentialE.size() == days && days != rain.size(),
                  dates, "potential evaporation");
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

std::vector<double> DailyPotentialEOf(const Weather& weather) {
  std::vector<double> daily(weather.Rain.size() / kHoursPerDay);
  for (std::size_t d = 0; d < daily.size(); ++d) {
    const double* hours = weather.PotentialE.data() + kHoursPerDay * d;
    const std::optional<double> value =
        DayValueGiving(hours[kFirstEvaporationHour - 1]);
    bool spread = value.has_value();
    for (int h = 1; spread && h <= kHoursPerDay; ++h) {
      const bool evaporating =
          h >= kFirstEvaporationHour && h <= kLastEvaporationHour;
      spread = hours[h - 1] == (evaporating ? hours[kFirstEvaporationHour - 1]
                                            : 0.0);
    }
    if (!spread) {
      throw std::invalid_argument(
          "the evaporation file holds a value per day, spread evenly over "
          "hours 9 to 18; the potential evaporation of " +
          DateText(DateOfDay(weather.Dates, d)) +
          " is not so spread: give daily values");
    }
    daily[d] = *value;
  }
  return daily;
}

DayDate DateOfDay(const Calendar& dates, std::size_t day) {
  const std::size_t known = dates.Year.size();
  if (day < known) return {dates.Year[day], dates.Month[day], dates.Day[day]};
  using namespace std::chrono;
  DayDate date;
  if (known == 0) return date;
  const year_month_day last{
      std::chrono::year(dates.Year.back()),
      std::chrono::month(static_cast<unsigned>(dates.Month.back())),
      std::chrono::day(static_cast<unsigned>(dates.Day.back()))};
  if (!last.ok()) return date;
  const year_month_day next{sys_days(last) +
                            std::chrono::days(static_cast<int>(day - known + 1))};
  return {static_cast<int>(next.year()),
          static_cast<int>(static_cast<unsigned>(next.month())),
          static_cast<int>(static_cast<unsigned>(next.day()))};
}

std::optional<long long> DaysSince1970(const DayDate& date) {
  using namespace std::chrono;
  if (date.Month < 1 || date.Day < 1) return std::nullopt;
  const year_month_day ymd{std::chrono::year(date.Year),
                           std::chrono::month(static_cast<unsigned>(date.Month)),
                           std::chrono::day(static_cast<unsigned>(date.Day))};
  if (!ymd.ok()) return std::nullopt;
  return sys_days(ymd).time_since_epoch().count();
}

std::string DateText(const DayDate& date) {
  return std::to_string(date.Year) + "-" + TwoDigits(date.Month) + "-" +
         TwoDigits(date.Day);
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
  observed.Given = values;
  return observed;
}

}  // namespace velm
