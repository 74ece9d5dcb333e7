#include "check/infiltration_range.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "check/wording.h"
#include "common/number_format.h"

namespace velm::check {
namespace {

constexpr int kStepsPerDecade = 1000;
constexpr int kBisections = 60;
constexpr int kShownDigits = 4;

bool Works(ParameterSet p, double finalInfiltration) {
  p.Final_Infiltration = finalInfiltration;
  return DeriveInfiltration(p) == DerivationProblem::kNone;
}

// The boundary between a value that works and one that does not, found by
// bisection on a log scale; returns the end that works.
double Boundary(const ParameterSet& p, double works, double fails) {
  for (int i = 0; i < kBisections; ++i) {
    const double middle = std::sqrt(works * fails);
    if (middle == works || middle == fails) break;
    (Works(p, middle) ? works : fails) = middle;
  }
  return works;
}

// The end rounded towards the inside of its range to as few digits as keep
// it working, at least four.
double RoundedInwards(const ParameterSet& p, double end, bool upwards) {
  for (int digits = kShownDigits; digits <= 17; ++digits) {
    const double scale =
        std::pow(10.0, std::floor(std::log10(end)) - (digits - 1));
    const double steps =
        upwards ? std::ceil(end / scale) : std::floor(end / scale);
    // The double nearest to the decimal that will be printed.
    const double rounded = std::strtod(
        FormatPrintf("%.*g", digits, steps * scale).c_str(), nullptr);
    if (Works(p, rounded)) return rounded;
  }
  return end;
}

std::string Shown(const ValueRange& r) {
  if (!(r.High > r.Low)) return Number(r.Low, 10);
  return Number(r.Low, 10) + " to " + Number(r.High, 10);
}

std::string Listed(const std::vector<ValueRange>& ranges) {
  std::string out;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (i > 0) out += i + 1 == ranges.size() ? " and " : ", ";
    out += Shown(ranges[i]);
  }
  return out;
}

// The end of a range nearest to `given` on a log scale.
double Nearest(const std::vector<ValueRange>& ranges, double given) {
  double best = ranges.front().Low;
  const auto distance = [given](double x) {
    return std::fabs(std::log(x / given));
  };
  for (const ValueRange& r : ranges) {
    for (const double end : {r.Low, r.High}) {
      if (distance(end) < distance(best)) best = end;
    }
  }
  return best;
}

}  // namespace

std::vector<ValueRange> WorkingFinalInfiltration(const ParameterSet& main) {
  std::vector<ValueRange> ranges;
  const int steps = static_cast<int>(
      std::lround(std::log10(kHighestTried / kLowestTried) * kStepsPerDecade));
  bool inside = false;
  double previous = 0.0;
  for (int i = 0; i <= steps; ++i) {
    const double x =
        i == steps ? kHighestTried
                   : kLowestTried * std::pow(10.0, double(i) / kStepsPerDecade);
    const bool works = Works(main, x);
    if (works && !inside) {
      const double low =
          i == 0 ? x : RoundedInwards(main, Boundary(main, x, previous), true);
      ranges.push_back({low, x});
    } else if (!works && inside) {
      ranges.back().High =
          RoundedInwards(main, Boundary(main, previous, x), false);
    }
    inside = works;
    previous = x;
  }
  return ranges;
}

std::string DescribeRanges(const std::vector<ValueRange>& ranges,
                           double given) {
  std::vector<ValueRange> wide, narrow;
  for (const ValueRange& r : ranges) (r.Wide() ? wide : narrow).push_back(r);
  std::string out;
  if (!wide.empty()) out = "from " + Listed(wide) + " mm/h";
  if (!narrow.empty()) {
    const auto widest = std::max_element(
        narrow.begin(), narrow.end(), [](const auto& a, const auto& b) {
          return a.High / a.Low < b.High / b.Low;
        });
    out += std::string(wide.empty() ? "only" : ", and") +
           " in narrow, scattered ranges between " +
           Number(narrow.front().Low, 10) + " and " +
           Number(narrow.back().High, 10) + " mm/h (the widest " +
           Shown(*widest) + ")";
  }
  if (!wide.empty() && given > 0 && std::isfinite(given)) {
    out +=
        "; the nearest value that works is " + Number(Nearest(wide, given), 10);
  }
  return out;
}

}  // namespace velm::check
