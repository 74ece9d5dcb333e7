#include "check/infiltration_range.h"

#include <cmath>

#include "check/wording.h"

namespace velm::check {
namespace {

constexpr int kStepsPerDecade = 50;
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

// The end rounded towards the inside of the range to as few digits as keep
// it working, at least four.
double RoundedInwards(const ParameterSet& p, double end, bool upwards) {
  for (int digits = kShownDigits; digits <= 17; ++digits) {
    const double scale =
        std::pow(10.0, std::floor(std::log10(end)) - (digits - 1));
    const double rounded = upwards ? std::ceil(end / scale) * scale
                                   : std::floor(end / scale) * scale;
    if (Works(p, rounded)) return rounded;
  }
  return end;
}

}  // namespace

std::vector<ValueRange> WorkingFinalInfiltration(const ParameterSet& main) {
  std::vector<ValueRange> ranges;
  const int steps = static_cast<int>(
      std::lround(std::log10(kHighestTried / kLowestTried) * kStepsPerDecade));
  const auto grid = [&](int i) {
    return i == steps
               ? kHighestTried
               : kLowestTried * std::pow(10.0, double(i) / kStepsPerDecade);
  };
  bool inside = false;
  double previous = 0.0;
  for (int i = 0; i <= steps; ++i) {
    const double x = grid(i);
    const bool works = Works(main, x);
    if (works && !inside) {
      const double low = i == 0 ? x : Boundary(main, x, previous);
      ranges.push_back({RoundedInwards(main, low, true), x});
    } else if (!works && inside) {
      ranges.back().High =
          RoundedInwards(main, Boundary(main, previous, x), false);
    }
    inside = works;
    previous = x;
  }
  return ranges;
}

std::string DescribeRanges(const std::vector<ValueRange>& ranges) {
  std::string out;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (i > 0) out += i + 1 == ranges.size() ? " and " : ", ";
    const ValueRange& r = ranges[i];
    out += Number(r.Low, 10);
    if (r.High > r.Low) out += " to " + Number(r.High, 10);
  }
  return out;
}

}  // namespace velm::check
