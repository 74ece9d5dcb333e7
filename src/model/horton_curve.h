#pragma once

// The two points of Horton's infiltration curve that the parameter file does
// not give but the model needs.

#include <optional>

namespace velm {

// The infiltration capacity at field capacity: ten rounds of a fixed-point
// iteration for the time the curve takes to get there.
double ComputeF18Infiltration(double finalInfiltration, double coeffReduction,
                              double maxSoilMoisture, double f18SoilMoisture);

// The root x of g(x) = k·MAX_SoilMoisture − (x − fc·ln((F18 − fc)/x)), found
// by walking up from F18 in steps of F18 refined tenfold at each overshoot,
// until |g| ≤ 0.01; the result is x + fc. Nothing when the walk cannot reach
// such an x: g already below −0.01 (or NaN) at F18, F18 not positive, or a
// step too small to move x.
std::optional<double> SearchMaxInfiltration(double finalInfiltration,
                                            double coeffReduction,
                                            double maxSoilMoisture,
                                            double f18Infiltration);

}  // namespace velm
