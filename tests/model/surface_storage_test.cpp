#include "model/surface_storage.h"

#include <gtest/gtest.h>

#include <array>

namespace velm {
namespace {

SurfaceStorage Holding(double first, double second) {
  SurfaceStorage storage;
  storage.FirstDepth = first;
  storage.SecondDepth = second;
  return storage;
}

// Depths before, the water moved, and what the stores hold and give back.
struct StoreCase {
  const char* name;
  void (SurfaceStorage::*operation)(double&);
  double first, second, water;
  double firstAfter, secondAfter, waterAfter;
};

class FillAndDraw : public ::testing::TestWithParam<StoreCase> {};

TEST_P(FillAndDraw, MoveWaterThroughFirstStoreBeforeSecond) {
  const StoreCase& c = GetParam();
  SurfaceStorage storage = Holding(c.first, c.second);
  double water = c.water;
  (storage.*c.operation)(water);
  EXPECT_NEAR(storage.FirstDepth, c.firstAfter, 1e-12);
  EXPECT_NEAR(storage.SecondDepth, c.secondAfter, 1e-12);
  EXPECT_NEAR(water, c.waterAfter, 1e-12);
}

constexpr auto kFill = &SurfaceStorage::Fill;
constexpr auto kDraw = &SurfaceStorage::Draw;

INSTANTIATE_TEST_SUITE_P(
    Cases, FillAndDraw,
    ::testing::Values(
        // 0.56 overflows: 15 % of it to the second store, 85 % passes.
        StoreCase{"FillEmptyOverflowsPastFirstCapacity", kFill, 0, 0, 2.0, 1.44,
                  0.084, 0.476},
        StoreCase{"FillBelowFirstCapacityPassesNothing", kFill, 0.5, 0.2, 0.9,
                  1.4, 0.2, 0},
        StoreCase{"FillToExactlyFirstCapacityPassesNothing", kFill, 0.44, 0,
                  1.0, 1.44, 0, 0},
        // 0.15 of the overflow 1.0 lifts the second store 0.12 above 0.53.
        StoreCase{"FillFullSecondStorePassesItsExcessToo", kFill, 1.44, 0.5,
                  1.0, 1.44, 0.53, 0.97},
        StoreCase{"DrawFromFirstStoreOnly", kDraw, 1.0, 0.3, 0.4, 0.6, 0.3, 0},
        StoreCase{"DrawRestFromSecondStore", kDraw, 0.3, 0.5, 0.6, 0, 0.2, 0},
        StoreCase{"DrawBothEmptyLeavesShortfall", kDraw, 0.3, 0.2, 0.6, 0, 0,
                  0.1},
        StoreCase{"DrawFromEmptyLeavesWholeDemand", kDraw, 0, 0, 0.25, 0, 0,
                  0.25}),
    [](const ::testing::TestParamInfo<StoreCase>& info) {
      return info.param.name;
    });

TEST(Exchange, RainEqualToDemandMeetsItWithoutTouchingTheStores) {
  SurfaceStorage storage = Holding(0.7, 0.2);
  double rain = 0.35;
  double demand = 0.35;
  EXPECT_EQ(storage.Exchange(rain, demand), 0.35);
  EXPECT_EQ(rain, 0.0);
  EXPECT_EQ(demand, 0.0);
  EXPECT_EQ(storage.FirstDepth, 0.7);
  EXPECT_EQ(storage.SecondDepth, 0.2);
}

// Whatever the rain and demand, water is neither made nor lost: rain in and
// the stores before equal rain out, evaporation and the stores after, and
// evaporation is the part of the demand that was met.
TEST(Exchange, ConservesWaterAndMeetsDemandFromRainThenStores) {
  constexpr std::array<std::array<double, 2>, 8> kSteps = {{{2.0, 0.1},
                                                            {0.0, 0.3},
                                                            {0.4, 0.4},
                                                            {3.5, 0.0},
                                                            {0.1, 0.9},
                                                            {0.0, 1.2},
                                                            {0.0, 0.8},
                                                            {0.6, 0.2}}};
  SurfaceStorage storage;
  for (const auto& [rainIn, demandIn] : kSteps) {
    const double before = storage.FirstDepth + storage.SecondDepth;
    double rain = rainIn;
    double demand = demandIn;
    const double evaporation = storage.Exchange(rain, demand);
    const double after = storage.FirstDepth + storage.SecondDepth;
    EXPECT_NEAR(rainIn + before, rain + evaporation + after, 1e-12);
    EXPECT_NEAR(evaporation + demand, demandIn, 1e-12);
    EXPECT_GE(demand, 0.0);
    EXPECT_TRUE(rain == 0.0 || demand == 0.0);
    EXPECT_LE(storage.FirstDepth, storage.FirstCapacity);
    EXPECT_LE(storage.SecondDepth, storage.SecondCapacity);
    EXPECT_GE(storage.SecondDepth, 0.0);
  }
}

}  // namespace
}  // namespace velm
