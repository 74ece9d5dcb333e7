#include "input/hydro_series.h"

#include <algorithm>
#include <climits>
#include <string_view>

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

}  // namespace velm
