#include "model/horton_curve.h"

#include <cmath>

namespace velm {
namespace {

constexpr double kSearchTolerance = 0.01;

// g(x) = k·MAX_SoilMoisture − (x − fc·ln((F18 − fc)/x)); it falls as x grows.
struct RootFunction {
  double kTimesMaxSoilMoisture;
  double fc;
  double f18;
  double operator()(double x) const {
    return kTimesMaxSoilMoisture - (x - fc * std::log((f18 - fc) / x));
  }
};

int BinadeOf(double x) {
  int exponent = 0;
  std::frexp(x, &exponent);
  return exponent;
}

// The search's first level: x walks up from F18 in whole steps of F18 while g
// stays above the tolerance, and stops at the first x where it does not. One
// step at a time that can take billions of steps for a small F18, so runs of
// steps are skipped: within one binade a step from an even multiple of the
// binade's ulp always adds the same amount, so the positions are known exactly
// and the first one where g has fallen to the tolerance is found by bisection.
// The first step inside a binade may start from an odd multiple (the sum that
// crossed into it) and, when F18's bits below the ulp are exactly one half,
// round to even differently; its result is an even multiple. So the step size
// is taken only from a second consecutive step within the binade. The x found
// is bit for bit the one the step-by-step walk reaches.
bool WalkFirstLevel(const RootFunction& g, double f18, double& x, double& gx) {
  int stepsInBinade = 0;  // consecutive steps that started and ended in it
  for (;;) {
    const double before = x;
    x = before + f18;
    if (x == before) return false;
    gx = g(x);
    if (std::isnan(gx)) return false;
    if (gx <= kSearchTolerance) return true;
    if (BinadeOf(before) != BinadeOf(x)) {
      stepsInBinade = 0;
      continue;
    }
    if (++stepsInBinade < 2) continue;
    const double step = x - before;
    const int exponent = BinadeOf(x);
    const double top = std::ldexp(1.0, exponent);
    const double ulp = std::ldexp(1.0, exponent - 53);
    // Positions x + j·step whose own sums stay two ulps below the top, with
    // a margin of two steps for the rounding of this bound itself.
    const double room = std::floor((top - 2 * ulp - f18 - x) / step) - 1;
    if (room < 1) continue;
    double low = 0;  // g(x + low·step) is above the tolerance
    double high = room;
    if (g(x + high * step) > kSearchTolerance) {
      x = x + high * step;
      continue;
    }
    while (high - low > 1) {  // g(x + high·step) is at or below it
      const double middle = std::floor((low + high) / 2);
      if (g(x + middle * step) > kSearchTolerance) {
        low = middle;
      } else {
        high = middle;
      }
    }
    x = x + high * step;
    gx = g(x);
    return true;
  }
}

}  // namespace

double ComputeF18Infiltration(double finalInfiltration, double coeffReduction,
                              double maxSoilMoisture, double f18SoilMoisture) {
  const double fc = finalInfiltration;
  const double k = coeffReduction;
  const double d = maxSoilMoisture - f18SoilMoisture;
  const double f0 = 1.1 * fc;
  double t = 1.0;
  for (int round = 0; round < 10; ++round) {
    const double e = std::exp(-t * k);
    t = t * d / (t * fc - ((1 - e * fc) - f0) / k);
  }
  return fc + (f0 - fc) * std::exp(t * k);
}

std::optional<double> SearchMaxInfiltration(double finalInfiltration,
                                            double coeffReduction,
                                            double maxSoilMoisture,
                                            double f18Infiltration) {
  const double fc = finalInfiltration;
  const double f18 = f18Infiltration;
  const RootFunction g{coeffReduction * maxSoilMoisture, fc, f18};
  // The walk goes up from F18 and g only falls on the way: it cannot find a
  // root that lies below F18 or start from a non-positive F18.
  if (!(f18 > 0) || std::isinf(f18)) return std::nullopt;
  const double gAtF18 = g(f18);
  if (std::isnan(gAtF18) || gAtF18 < -kSearchTolerance) return std::nullopt;

  double x = f18;
  double gx = 0.0;
  if (!WalkFirstLevel(g, f18, x, gx)) return std::nullopt;
  double s = 1.0;
  while (!(std::fabs(gx) <= kSearchTolerance)) {
    if (gx <= 0) {  // passed the root: undo the step and refine it tenfold
      x = x - s * f18;
      s = s * 0.1;
    }
    const double next = x + s * f18;
    if (next == x) return std::nullopt;
    x = next;
    gx = g(x);
    if (std::isnan(gx)) return std::nullopt;
  }
  return x + fc;
}

}  // namespace velm
