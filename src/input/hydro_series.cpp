#include "input/hydro_series.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string_view>

#include "common/input_error.h"
#include "common/number_parse.h"
#include "common/text_lines.h"

namespace velm {
namespace {

// Potential evaporation falls in the daytime hours 9 to 18 of a day, one
// tenth of the day's value in each.
constexpr int kFirstEvaporationHour = 9;
constexpr int kLastEvaporationHour = 18;
constexpr double kEvaporationShare = 0.1;

// A record: leading fields (integers) separated by commas, then the value,
// which is everything after the last of those commas.
template <std::size_t LeadingCount>
struct Record {
  std::array<std::string_view, LeadingCount> leading;
  std::string_view value;
};

template <std::size_t LeadingCount>
std::optional<Record<LeadingCount>> SplitRecord(std::string_view line) {
  Record<LeadingCount> record;
  for (std::string_view& field : record.leading) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    field = line.substr(0, comma);
    line.remove_prefix(comma + 1);
  }
  record.value = line;
  return record;
}

TextLines ReadDataFile(const FileInfo& files, FileEntry entry,
                       std::string_view key) {
  auto lines = TextLines::Read(files.Name(entry), LastLine::kDropped);
  if (!lines) ThrowCannotOpen(key);
  return std::move(*lines);
}

// The value of an hourly record (four leading fields: dates and hour).
double HourlyValue(const TextLines& lines, std::size_t index,
                   std::string_view key) {
  const auto record = SplitRecord<4>(lines[index]);
  if (!record) ThrowBadLine(key, index + 1, text::kTooFewFields);
  return ParseReal(record->value);
}

}  // namespace

void SumDaily(std::span<const double> steps, std::span<double> days) {
  constexpr std::size_t kDayLength = kHoursPerDay;
  const std::size_t dayCount = steps.size() / kDayLength;
  for (std::size_t k = 0; k < dayCount; ++k) {
    double total = 0.0;
    // Last hour first: the order fixes the rounding of the totals.
    for (std::size_t h = kDayLength; h-- > 0;) {
      total += steps[kDayLength * k + h];
    }
    days[k] = total;
  }
}

HydroSeries::HydroSeries() {
  Files.Read();
  Settings.Read();
}

int HydroSeries::CountRainLines() const {
  const TextLines lines = ReadDataFile(Files, FileEntry::kRain, kRainKey);
  return static_cast<int>(std::min<std::size_t>(lines.Count(), INT_MAX));
}

void HydroSeries::ReadRainAndEvaporation(std::span<double> rain,
                                         std::span<double> hourlyEP) {
  const TextLines rainLines = ReadDataFile(Files, FileEntry::kRain, kRainKey);
  // The rain file was counted to size the arrays; should it have changed
  // since, nothing is written past them and hours it no longer has are dry.
  std::fill(rain.begin(), rain.end(), 0.0);
  const std::size_t hours = std::min(rainLines.Count(), rain.size());
  for (std::size_t t = 0; t < hours; ++t) {
    rain[t] = HourlyValue(rainLines, t, kRainKey);
  }

  const std::size_t days = rain.size() / kHoursPerDay;
  Year.assign(days, 0);
  Month.assign(days, 0);
  Day.assign(days, 0);
  std::vector<double> dailyEP(days, 0.0);
  const TextLines epLines =
      ReadDataFile(Files, FileEntry::kEvaporation, kEvaporationKey);
  for (std::size_t d = 0; d < epLines.Count(); ++d) {
    if (d >= days) ThrowBadLine(kEvaporationKey, d + 1, text::kTooManyLines);
    const auto record = SplitRecord<3>(epLines[d]);
    if (!record) ThrowBadLine(kEvaporationKey, d + 1, text::kTooFewFields);
    Year[d] = ParseInt(record->leading[0]);
    Month[d] = ParseInt(record->leading[1]);
    Day[d] = ParseInt(record->leading[2]);
    dailyEP[d] = ParseReal(record->value);
  }
  if (epLines.Count() < days) {
    ThrowBadLine(kEvaporationKey, epLines.Count() + 1, text::kTooFewLines);
  }

  // Hours of a trailing partial day have no evaporation.
  std::fill(hourlyEP.begin(), hourlyEP.end(), 0.0);
  for (std::size_t d = 0; d < days; ++d) {
    for (int h = kFirstEvaporationHour; h <= kLastEvaporationHour; ++h) {
      hourlyEP[kHoursPerDay * d + h - 1] = kEvaporationShare * dailyEP[d];
    }
  }
}

void HydroSeries::ReadObservedRunoff(std::span<double> observed) const {
  const TextLines lines =
      ReadDataFile(Files, FileEntry::kObservedRunoff, kObservedRunoffKey);
  if (lines.Count() > observed.size()) {
    ThrowBadLine(kObservedRunoffKey, observed.size() + 1, text::kTooManyLines);
  }
  const double area = Settings.CatchmentArea;
  for (std::size_t t = 0; t < lines.Count(); ++t) {
    const double q = HourlyValue(lines, t, kObservedRunoffKey);
    // An area of exactly 1 means the file is already in model units;
    // otherwise flow per second over the area becomes depth per hour.
    observed[t] = area == 1.0 ? q : q * 3600 / area * 0.001;
  }
  std::fill(observed.begin() + static_cast<std::ptrdiff_t>(lines.Count()),
            observed.end(), 0.0);
}

}  // namespace velm
