#pragma once

// The values of Final_Infiltration for which velm can derive
// MAX_Infiltration, the other parameters as given.

#include <string>
#include <vector>

#include "model/parameter_set.h"

namespace velm::check {

struct ValueRange {
  double Low = 0.0;
  double High = 0.0;
};

// The ranges tried: Final_Infiltration from kLowest to kHighest mm/h.
inline constexpr double kLowestTried = 1e-4;
inline constexpr double kHighestTried = 1e4;

// Scans a log-spaced grid and refines each end of a working range by
// bisection; the ends are given rounded inwards to four significant digits,
// so that each printed end works itself.
std::vector<ValueRange> WorkingFinalInfiltration(const ParameterSet& main);

// "0.0001 to 0.4799 and 1.521 to 3.276".
std::string DescribeRanges(const std::vector<ValueRange>& ranges);

}  // namespace velm::check
