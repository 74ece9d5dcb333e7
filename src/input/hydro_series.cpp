#include "input/hydro_series.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

#include "common/number_format.h"
#include "common/number_parse.h"
#include "input/input_error.h"
#include "model/simulate.h"

namespace velm {
namespace {

// The value of an hourly record (four leading fields: dates and hour).
double HourlyValue(const TextLines& lines, std::size_t index, FileEntry file) {
  const auto record = SplitRecord<4>(lines[index]);
  if (!record) ThrowBadLine(file, index + 1, InputProblem::kTooFewFields);
  return ParseReal(record->Value);
}

std::string DateFields(const DayDate& date) {
  return std::to_string(date.Year) + "," + std::to_string(date.Month) + "," +
         std::to_string(date.Day) + ",";
}

std::string HourlyText(const std::vector<double>& values,
                       const Calendar& dates) {
  std::string text;
  for (std::size_t t = 0; t < values.size(); ++t) {
    text += DateFields(DateOfDay(dates, t / kHoursPerDay)) +
            std::to_string(t % kHoursPerDay + 1) + "," +
            FormatShortest(values[t]) + "\r\n";
  }
  return text;
}

}  // namespace

std::vector<double> ParseRain(const TextLines& lines) {
  const std::size_t hours = std::min<std::size_t>(lines.Count(), INT_MAX);
  std::vector<double> rain(hours);
  for (std::size_t t = 0; t < hours; ++t) {
    rain[t] = HourlyValue(lines, t, FileEntry::kRain);
  }
  return rain;
}

Weather ParseEvaporation(const TextLines& lines, std::vector<double> rain) {
  const std::size_t days = rain.size() / kHoursPerDay;
  Calendar dates;
  dates.Year.assign(days, 0);
  dates.Month.assign(days, 0);
  dates.Day.assign(days, 0);
  std::vector<double> dailyEP(days, 0.0);
  for (std::size_t d = 0; d < lines.Count(); ++d) {
    if (d >= days) {
      ThrowBadLine(FileEntry::kEvaporation, d + 1, InputProblem::kTooManyLines);
    }
    const auto record = SplitRecord<3>(lines[d]);
    if (!record) {
      ThrowBadLine(FileEntry::kEvaporation, d + 1, InputProblem::kTooFewFields);
    }
    dates.Year[d] = ParseInt(record->Leading[0]);
    dates.Month[d] = ParseInt(record->Leading[1]);
    dates.Day[d] = ParseInt(record->Leading[2]);
    dailyEP[d] = ParseReal(record->Value);
  }
  if (lines.Count() < days) {
    ThrowBadLine(FileEntry::kEvaporation, lines.Count() + 1,
                 InputProblem::kTooFewLines);
  }
  return WeatherOf(std::move(rain), dailyEP, std::move(dates));
}

ObservedRunoff ParseObservedRunoff(const TextLines& lines, std::size_t hours,
                                   double catchmentArea) {
  if (lines.Count() > hours) {
    ThrowBadLine(FileEntry::kObservedRunoff, hours + 1,
                 InputProblem::kTooManyLines);
  }
  std::vector<double> values(lines.Count());
  for (std::size_t t = 0; t < lines.Count(); ++t) {
    values[t] = HourlyValue(lines, t, FileEntry::kObservedRunoff);
  }
  return ObservedOf(values, hours, catchmentArea);
}

std::string RainFileText(const Weather& weather) {
  return HourlyText(weather.Rain, weather.Dates);
}

std::string EvaporationFileText(const Weather& weather) {
  const std::vector<double> daily = DailyPotentialEOf(weather);
  std::string text;
  for (std::size_t d = 0; d < daily.size(); ++d) {
    text += DateFields(DateOfDay(weather.Dates, d)) +
            FormatShortest(daily[d]) + "\r\n";
  }
  return text;
}

std::string ObservedRunoffFileText(const std::vector<double>& given,
                                   const Calendar& dates) {
  std::vector<double> values = given;
  for (std::size_t day = 0; day * kHoursPerDay < values.size(); ++day) {
    const auto first = values.begin() + static_cast<std::ptrdiff_t>(day * kHoursPerDay);
    const auto last = values.begin() + static_cast<std::ptrdiff_t>(std::min(
                                           values.size(), (day + 1) * kHoursPerDay));
    if (std::any_of(first, last, [](double q) { return !std::isfinite(q); })) {
      std::fill(first, last, 0.0);
    }
  }
  return HourlyText(values, dates);
}

}  // namespace velm
