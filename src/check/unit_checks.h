#pragma once

// Values in another unit than velm's: potential evaporation that no climate
// gives in mm per day, and the area and runoff units behind a runoff ratio
// that cannot be.

#include <string>
#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

// Potential evaporation in mm per day, judged by the highest days and, over
// a year or more, by the yearly total: negative (a flux toward the ground
// in metres), below about 50 mm a year (metres), above 8,000 mm a year or
// a season of days above 25 mm (tenths or hundredths of a mm) are errors;
// a day above 25 mm or a year above 3,000 mm a warning.
void CheckEvaporationUnits(const NamedFile& evaporation,
                           std::vector<Finding>& findings);

// Runoff ratios outside these are not a catchment's.
inline constexpr double kLowestRunoffRatio = 0.01;
inline constexpr double kHighestRunoffRatio = 1.0;

// The unit mistakes that would turn a runoff ratio outside 0.01 to 1 into
// one inside it: "runoff in L/s would give a ratio of 0.39". Empty when
// none does.
std::vector<std::string> UnitSuspects(double ratio, double area);

}  // namespace velm::check
