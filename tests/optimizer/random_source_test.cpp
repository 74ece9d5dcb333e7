#include "optimizer/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/number_format.h"
#include "optimizer/optimizer_test_support.h"

namespace velm {
namespace {

using testing::FixedClock;
using testing::StateBeforeDraw;

std::vector<int> Draws(RandomSource& random, int count) {
  std::vector<int> draws;
  for (int i = 0; i < count; ++i) draws.push_back(random.Next15());
  return draws;
}

TEST(RandomSource, StateZeroGivesTheKnownFirstFiveDraws) {
  RandomSource random(FixedClock(0));
  random.SeedFromClock();
  EXPECT_EQ(Draws(random, 5), (std::vector<int>{38, 7719, 21238, 2437, 8855}));
}

TEST(RandomSource, SeedingsInOneSecondRepeatTheDrawsAndTheSeedIs32Bits) {
  // 2026-01-01 00:00:00 UTC, 2^32 seconds later.
  RandomSource random(FixedClock(1767225600 + (std::time_t{1} << 32)));
  random.SeedFromClock();
  EXPECT_EQ(random.State, 1767225600u);
  const std::vector<int> first = Draws(random, 3);
  random.SeedFromClock();
  EXPECT_EQ(Draws(random, 3), first);
}

TEST(RandomSource, TopDrawIsExactlyOneClosedAndJustBelowOneOpen) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeDraw(32767);
  EXPECT_EQ(random.UniformClosed(), 1.0);
  random.State = StateBeforeDraw(32767);
  EXPECT_EQ(FormatPrintf("%.8f", random.UniformOpen()), "0.99999695");
  random.State = StateBeforeDraw(0);
  EXPECT_EQ(random.UniformClosed(), 0.0);
  // The scales themselves: 1/32767 and 1/32767.1 as doubles.
  random.State = StateBeforeDraw(1);
  EXPECT_EQ(random.UniformClosed(), 3.051850947599719e-05);
  random.State = StateBeforeDraw(1);
  EXPECT_EQ(random.UniformOpen(), 3.0518416338339375e-05);
}

TEST(RandomSource, IndexPicksStayBelowTheirCountForEveryDraw) {
  RandomSource random(FixedClock(0));
  for (const int count : {2, 3, 10, 15, 20}) {
    for (int draw = 0; draw <= RandomSource::kMaxDraw; ++draw) {
      random.State = StateBeforeDraw(draw);
      const int index = random.Pick(count);
      ASSERT_TRUE(index >= 0 && index < count) << count << " " << draw;
    }
  }
}

// A state from which the next draws are 0 and then one in [low, high].
std::uint32_t StateBeforeZeroThen(int low, int high) {
  for (std::uint32_t next = 0; next < (1u << 16); ++next) {
    const int second =
        static_cast<int>(((next * 214013u + 2531011u) >> 16) & 0x7FFF);
    if (second >= low && second <= high) return testing::PreviousState(next);
  }
  ADD_FAILURE() << "no such state";
  return 0;
}

TEST(RandomSource, NormalPairPassesOnTheInfinitiesOfAFirstDrawOfZero) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeZeroThen(1, 8000);  // θ below a quarter turn
  NormalDraws z = random.NormalPair();
  EXPECT_EQ(z.z1, INFINITY);
  EXPECT_EQ(z.z2, INFINITY);
  random.State = StateBeforeZeroThen(0, 0);
  z = random.NormalPair();
  EXPECT_TRUE(std::isnan(z.z1));  // an infinite radius times sin 0
  EXPECT_EQ(z.z2, INFINITY);
}

TEST(RandomSource, NormalPairTurnsBy6Point28318PerUnitDraw) {
  // From state 0, u1 = 38 / 32767.1 and u2 = 7719 / 32767.1; with the full
  // 2π z1 would be 3.66174613.
  RandomSource random(FixedClock(0));
  random.SeedFromClock();
  const NormalDraws z = random.NormalPair();
  EXPECT_NEAR(z.z1, 3.6617457136312317, 1e-12);
  EXPECT_NEAR(z.z2, 0.3328760935451527, 1e-12);
}

}  // namespace
}  // namespace velm
