// ExactProduct against the multiply instruction, bit for bit, on random
// operands around and inside the subnormal range and on special values; and
// whole simulations whose cascades drain into subnormals against the
// benchmarks' bare kernel, which multiplies plainly.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "bare_kernel.h"
#include "model/exact_product.h"
#include "model/simulate.h"

namespace velm {
namespace {

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// A double of random sign and fraction whose biased exponent field is drawn
// from [low, high].
double RandomDouble(std::mt19937_64& random, int low, int high) {
  const auto field = static_cast<std::uint64_t>(
      std::uniform_int_distribution<int>(low, high)(random));
  std::uint64_t fraction = random() & ((std::uint64_t{1} << 52) - 1);
  // Short fractions make exact products and ties to even.
  if (random() % 4 == 0) fraction &= ~std::uint64_t{0} << (random() % 53);
  return std::bit_cast<double>((random() & (std::uint64_t{1} << 63)) |
                               field << 52 | fraction);
}

// Exponent fields whose products fall into, across and out of the subnormal
// range, from subnormal operands to the largest.
double RandomOperand(std::mt19937_64& random) {
  switch (random() % 6) {
    case 0: return RandomDouble(random, 0, 0);  // subnormal (or zero)
    case 1: return RandomDouble(random, 1, 60);
    case 2: return RandomDouble(random, 400, 600);
    case 3: return RandomDouble(random, 960, 1090);
    case 4: return RandomDouble(random, 1950, 2046);
    default: return RandomDouble(random, 0, 2047);  // with infinities, NaNs
  }
}

TEST(ExactProduct, GivesTheMultiplysBitsOnMillionsOfOperands) {
  std::mt19937_64 random(29);
  long subnormalProducts = 0;
  for (int n = 0; n < 3'000'000; ++n) {
    const double a = RandomOperand(random), b = RandomOperand(random);
    const double product = a * b;
    ASSERT_EQ(Bits(ExactProduct(a, b)), Bits(product))
        << std::hexfloat << a << " * " << b;
    if (std::fpclassify(product) == FP_SUBNORMAL) ++subnormalProducts;
  }
  EXPECT_GT(subnormalProducts, 100'000);
}

TEST(ExactProduct, GivesTheMultiplysBitsOnSpecialValues) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::vector<double> values = {
      0.0, -0.0, kInf, -kInf, std::nan(""), -std::nan("7"),
      std::bit_cast<double>(std::uint64_t{0x7ff0000000000001}),  // signalling
      0x1p-1074, -0x1p-1074, 0x1p-1022, 0x1.fffffffffffffp-1023,
      0x0.8p-1022, 0x1p-537, 0x1.8p-538, 0.5, 1.0, -1.0, 1.5, 2.0, 3.0,
      0x1.fffffffffffffp+1023, 0x1p+52, 0x1p+1022, 0.999, 0.001};
  for (const double a : values) {
    for (const double b : values) {
      ASSERT_EQ(Bits(ExactProduct(a, b)), Bits(a * b))
          << std::hexfloat << a << " * " << b;
    }
  }
}

TEST(ExactProduct, FactorsOnlyChooseTheWayNotTheBits) {
  std::mt19937_64 random(30);
  for (int n = 0; n < 200'000; ++n) {
    const double c = RandomOperand(random), x = RandomOperand(random);
    for (const double quickAbove :
         {QuickProductAbove(c), kQuickProductAbove, 0.0,
          std::numeric_limits<double>::infinity()}) {
      ASSERT_EQ(Bits(ProductOfFactor(c, x, quickAbove)), Bits(c * x))
          << std::hexfloat << c << " * " << x;
    }
  }
}

// Cascades that drain to subnormal depths within the record: fast tanks,
// long dry spells without evaporation, and rain now and then. A drained
// tank stays subnormal for good once its outflow rounds to 0.
TEST(ExactProduct, DrainedCascadesKeepTheBareKernelsBits) {
  std::mt19937_64 random(31);
  const auto draw = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  int drainedSets = 0;
  for (int set = 0, attempt = 0; set < 24; ++attempt) {
    ASSERT_LT(attempt, 1000);
    ParameterSet p;
    p.Impervious = set % 3 == 0 ? 0.0 : draw(0, 0.3);
    p.MAX_SoilMoisture = draw(50, 200);
    p.Final_Infiltration = draw(0.5, 3);
    p.Coeff_Reduction = draw(0.05, 0.5);
    p.F18_SoilMoisture = p.MAX_SoilMoisture * draw(0.3, 0.7);
    p.MAX_EvapoRatio = draw(0.3, 1);
    p.Coeff_EvapoModel = draw(1, 20);
    p.CoeffSurfaceTopTank = draw(0.1, 0.9);
    p.HighSurfaceTopTank = draw(1, 30);
    p.CoeffSurfaceBotomTank = p.CoeffSurfaceTopTank * draw(0.1, 1);
    p.TankCount = set % 4 + 1;
    p.CoeffTank.assign(p.TankCount + 1, 0.0);
    p.BotomTank.assign(p.TankCount + 1, 0.0);
    for (int j = 1; j <= p.TankCount; ++j) {
      p.CoeffTank[j] = draw(0.1, 0.45);
      p.BotomTank[j] = j < p.TankCount && set % 2 == 0 ? draw(0, 0.01) : 0.0;
    }
    if (ComputeDerivedValues(p) != DerivationProblem::kNone) continue;
    ++set;

    const int hours = 24 * 400;
    std::vector<double> rain(hours, 0.0), demand(hours, 0.0);
    for (int hour = 0; hour < hours; ++hour) {
      const bool wet = hour % 2400 >= 2000;  // 2000 dry hours, then rain
      if (wet && random() % 3 == 0) rain[hour] = draw(0, 20);
      if (wet && hour % 24 >= 8 && hour % 24 < 18) demand[hour] = draw(0, 1);
    }
    HourlyOutputs model;
    Simulate(p, {rain, demand, false}, model);
    std::vector<double> calcQ(hours), actualE(hours), capacity(hours + 1);
    std::vector<double> depths;
    bench::BareSimulate(p, rain, demand, depths, calcQ.data(), actualE.data(),
                        capacity.data());
    for (int hour = 0; hour < hours; ++hour) {
      ASSERT_EQ(Bits(calcQ[hour]), Bits(model.CalcQ[hour]))
          << "set " << set << " hour " << hour;
      ASSERT_EQ(Bits(actualE[hour]), Bits(model.ActualE[hour]));
      ASSERT_EQ(Bits(capacity[hour + 1]), Bits(model.Infiltration[hour + 1]));
    }
    bool drained = false;
    for (std::size_t j = 0; j < depths.size(); ++j) {
      ASSERT_EQ(Bits(depths[j]), Bits(model.TankWaterDepth[j]));
      drained |= std::fpclassify(depths[j]) == FP_SUBNORMAL;
    }
    drainedSets += drained;
  }
  EXPECT_GE(drainedSets, 12);
}

}  // namespace
}  // namespace velm
