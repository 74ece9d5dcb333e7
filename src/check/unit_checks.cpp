#include "check/unit_checks.h"

#include <cmath>

#include "check/wording.h"
#include "common/number_format.h"
#include "common/number_parse.h"
#include "input/hydro_series.h"

namespace velm::check {
namespace {

// Potential evaporation, mm. Real climates give about 300 to 2,500 mm a
// year; pan evaporation in hot deserts comes near 3,000, with hot days near
// 20 mm.
constexpr double kHighDay = 25;
constexpr double kHighYear = 3000;
constexpr double kImpossibleYear = 8000;
constexpr double kLowYear = 50;
// A year of values is needed to judge a yearly total; shorter runs are
// judged by their days alone.
constexpr std::size_t kYearDays = 365;
constexpr double kDaysPerYear = 365.25;
// Days above kHighDay that make a season, not a few hot days: the mark of
// values 10 or 100 times too large.
constexpr double kSeasonShare = 1.0 / 12;

struct Evaporation {
  std::size_t Days = 0;
  double Sum = 0;
  std::size_t HighDays = 0;
  std::size_t FirstHighLine = 0;
  double FirstHigh = 0;
  std::size_t FirstNegativeLine = 0;
  std::size_t Negatives = 0;

  double Year() const { return Sum / static_cast<double>(Days) * kDaysPerYear; }
  bool YearKnown() const { return Days >= kYearDays; }
};

Evaporation ReadEvaporation(const TextLines& lines) {
  Evaporation e;
  for (std::size_t i = 0; i < lines.Count(); ++i) {
    const auto fields = SplitRecord<3>(lines[i]);
    if (!fields) break;  // velm refuses the line
    const double value = ParseReal(fields->Value);
    // An infinite value has a finding of its own.
    if (!std::isfinite(value)) continue;
    ++e.Days;
    e.Sum += value;
    if (value < 0 && e.Negatives++ == 0) e.FirstNegativeLine = i + 1;
    if (value > kHighDay && e.HighDays++ == 0) {
      e.FirstHighLine = i + 1;
      e.FirstHigh = value;
    }
  }
  return e;
}

std::string Millimetres(double value) {
  return (std::fabs(value) < 10 ? Number(value, 2)
                                : FormatPrintf("%.0f", value)) +
         " mm";
}

// The unit that brings a year back to what climates give.
struct Factor {
  std::string Unit;
  std::string Fix;
};
Factor LikelyFactor(double year) {
  if (year / 10 <= kHighYear) return {"tenths of a millimetre", "divide by 10"};
  if (year / 100 <= kHighYear) {
    return {"hundredths of a millimetre", "divide by 100"};
  }
  return {"a unit far smaller than a millimetre", "convert them"};
}

std::string HighDays(const Evaporation& e) {
  return std::to_string(e.HighDays) + " of " + Count(e.Days, "day") +
         " above 25 mm, the first on line " + std::to_string(e.FirstHighLine) +
         " (" + Number(e.FirstHigh, 5) + " mm)";
}

constexpr std::string_view kEvaporationFix =
    "give the daily potential evaporation in mm";

void JudgeEvaporation(const NamedFile& file, const Evaporation& e,
                      std::vector<Finding>& findings) {
  const auto add = [&](std::string_view kind, Severity level,
                       std::size_t line, std::string message, std::string fix) {
    findings.push_back(FindingAt(file, kind, level, line, std::move(message),
                                 std::move(fix)));
  };
  const std::string year =
      e.YearKnown()
          ? "the potential evaporation comes to " + Millimetres(e.Year()) +
                " a year"
          : "the potential evaporation averages " +
                Millimetres(e.Sum / static_cast<double>(e.Days)) + " a day, " +
                Millimetres(e.Year()) + " a year at that rate";
  if (e.Sum < 0) {
    add("evaporation-negative", Severity::kError, e.FirstNegativeLine,
        year + ", " + std::to_string(e.Negatives) + " of " +
            Count(e.Days, "value") +
            " being negative: evaporation written as a flux toward the "
            "ground, as some reanalysis products give it (in metres of water)",
        std::string(kEvaporationFix) +
            " as a positive depth: values in metres with that sign times "
            "-1000");
    return;
  }
  const bool season = static_cast<double>(e.HighDays) >=
                      kSeasonShare * static_cast<double>(e.Days);
  if ((e.YearKnown() && e.Year() > kImpossibleYear) ||
      (e.HighDays > 0 && season)) {
    const Factor factor = LikelyFactor(e.Year());
    add("evaporation-too-large", Severity::kError, e.HighDays > 0 ? e.FirstHighLine : 0,
        year + (e.HighDays > 0 ? ", with " + HighDays(e) : "") +
            ": no climate gives that much (pan evaporation in hot deserts "
            "comes near 3,000 mm a year, and near 20 mm on hot days); the "
            "values look like " +
            factor.Unit,
        std::string(kEvaporationFix) + " per day: " + factor.Fix +
            " the values in this file");
    return;
  }
  if (e.YearKnown() && e.Year() < kLowYear) {
    add("evaporation-in-metres", Severity::kError, 0,
        year +
            ", while climates give about 300 to 2,500 mm: are the values "
            "in metres?",
        std::string(kEvaporationFix) + " per day: metres times 1000");
    return;
  }
  if (e.YearKnown() && e.Year() > kHighYear) {
    add("evaporation-desert", Severity::kWarning, 0,
        year +
            ", more than all but the hottest deserts give (pan "
            "evaporation there comes near 3,000 mm)",
        "check that the values are mm per day of potential evaporation; "
        "velm uses pan evaporation as it stands, without a pan coefficient");
  }
  if (e.HighDays > 0) {
    add("evaporation-high-days", Severity::kWarning, e.FirstHighLine,
        std::to_string(e.HighDays) + " of " + Count(e.Days, "day") +
            (e.HighDays == 1 ? " has" : " have") +
            " more than 25 mm of potential evaporation, the first on this "
            "line (" +
            Number(e.FirstHigh, 5) +
            " mm): more than hot deserts give on their hottest days",
        "check these values: mm per day, with the decimal point in its "
        "place");
  }
}

}  // namespace

void CheckEvaporationUnits(const NamedFile& file,
                           std::vector<Finding>& findings) {
  if (!file.Lines) return;
  const Evaporation e = ReadEvaporation(*file.Lines);
  if (e.Days > 0) JudgeEvaporation(file, e, findings);
}

std::vector<std::string> UnitSuspects(double ratio, double area) {
  struct Suspect {
    std::string Unit;
    double Factor;  // what the ratio would be multiplied by
  };
  std::vector<Suspect> suspects;
  if (ratio > kHighestRunoffRatio) {
    suspects.push_back({"runoff in L/s", 1e-3});
  } else {
    suspects.push_back({"an area in hectares", 100});
    suspects.push_back({"an area in m2", 1e6});
    if (area != 1.0) {
      suspects.push_back(
          {"runoff already in mm per hour (an area of exactly 1)", area / 3.6});
    }
  }
  std::vector<std::string> found;
  for (const Suspect& s : suspects) {
    const double fixed = ratio * s.Factor;
    if (fixed >= kLowestRunoffRatio && fixed <= kHighestRunoffRatio) {
      found.push_back(s.Unit + " would give a ratio of " + Number(fixed, 3));
    }
  }
  return found;
}

}  // namespace velm::check
