#pragma once

// The data series beyond what velm checks: their dates, which velm never
// reads (rain and observed runoff) or takes as they come (evaporation), and
// their values.

#include <cstddef>
#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

// Rain hourly and consecutive, hours 1 to 24 from hour 1 of its first day;
// evaporation daily from the rain file's first day; observed runoff hourly
// from the rain file's first hour. The first line that breaks each, what it
// holds and what was expected; values that are negative, infinite or no
// number; a part-day at the end of the rain file; an observed record that
// ends within a day.
// The first line of a rain file whose date does not follow the one before
// (a heading, a missing or repeated hour, records out of order); 0 if none.
std::size_t FirstOrderBreak(const TextLines& rain);

void CheckSeries(const Catchment& catchment, std::vector<Finding>& findings);

}  // namespace velm::check
