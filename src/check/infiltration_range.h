#pragma once

// The values of Final_Infiltration for which velm can derive
// MAX_Infiltration, the other parameters as given. The set is not simple:
// the derivation's fixed-point rounds make it break into many narrow,
// scattered ranges in places, beside wide ones.

#include <string>
#include <vector>

#include "model/parameter_set.h"

namespace velm::check {

struct ValueRange {
  double Low = 0.0;
  double High = 0.0;
  // At least a quarter wider at the top than at the bottom.
  bool Wide() const { return High >= 1.25 * Low; }
};

// The values tried: Final_Infiltration from kLowestTried to kHighestTried
// mm/h.
inline constexpr double kLowestTried = 1e-4;
inline constexpr double kHighestTried = 1e4;

// Scans a fine log-spaced grid and refines each end of a working range by
// bisection; the ends are rounded inwards to four significant digits (more
// where that is not enough), so that each end works itself.
std::vector<ValueRange> WorkingFinalInfiltration(const ParameterSet& main);

// "from 0.0001 to 0.0947 and 1.523 to 4.336 mm/h, and in narrow, scattered
// ranges between 0.2408 and 0.475 (the widest 0.39 to 0.4009); the nearest
// value that works is 4.336", for the value `given`.
std::string DescribeRanges(const std::vector<ValueRange>& ranges, double given);

}  // namespace velm::check
