// The MAX_Infiltration search skips runs of steps; it must land bit for bit
// where walking one step at a time lands, on any valid parameter set.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

#include "input/parameter_set.h"

namespace velm {
namespace {

// One step at a time, refining tenfold at each overshoot; nothing when it
// does not end within `maxPasses`.
std::optional<double> PlainWalk(double fc, double k, double smax, double f18,
                                long maxPasses) {
  const auto g = [&](double x) {
    return k * smax - (x - fc * std::log((f18 - fc) / x));
  };
  double x = f18, s = 1.0, gx = 1.0;
  for (long pass = 0; pass < maxPasses; ++pass) {
    if (gx <= 0) {
      x = x - s * f18;
      s = s * 0.1;
    }
    x = x + s * f18;
    gx = g(x);
    if (std::isnan(gx)) return std::nullopt;
    if (std::fabs(gx) <= 0.01) return x + fc;
  }
  return std::nullopt;
}

TEST(MaxInfiltrationWalk, AHalfUlpRemainderInF18KeepsTheWalksValue) {
  const double fc = 0.047499064450307778, k = 0.69535750305834831;
  const double smax = 6.0279107462262944, fraction = 0.94707443902134381;
  const double f18 = ComputeF18Infiltration(fc, k, smax, smax * fraction);
  EXPECT_EQ(SearchMaxInfiltration(fc, k, smax, f18), 3.9139231147611393);
}

TEST(MaxInfiltrationWalk, RandomValidSetsEndWhereThePlainWalkEnds) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int compared = 0;
  for (int set = 0; set < 3000; ++set) {
    const double fc = std::exp(std::log(0.02) + unit(random) * 5.5);
    const double k = 0.02 + 2 * unit(random);
    const double smax = 5 + 300 * unit(random);
    const double fraction = 0.1 + 0.85 * unit(random);
    const double f18 = ComputeF18Infiltration(fc, k, smax, smax * fraction);
    const auto expected = PlainWalk(fc, k, smax, f18, 100'000);
    if (!expected) continue;
    ++compared;
    ASSERT_EQ(SearchMaxInfiltration(fc, k, smax, f18), expected)
        << "fc " << fc << " k " << k << " smax " << smax << " fraction "
        << fraction;
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace
}  // namespace velm
