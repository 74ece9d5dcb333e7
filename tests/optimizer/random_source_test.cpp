#include "optimizer/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
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

TEST(RandomSourceSequence, StateZeroGivesTheKnownFirstFiveDraws) {
  RandomSource random(FixedClock(0));
  random.SeedFromClock();
  EXPECT_EQ(Draws(random, 5), (std::vector<int>{38, 7719, 21238, 2437, 8855}));
}

TEST(RandomSourceSequence, SeedIsTheClockInSecondsTakenAs32Bits) {
  // 2026-01-01 00:00:00 UTC, and the same second 2^32 seconds later.
  RandomSource now(FixedClock(1767225600));
  now.SeedFromClock();
  EXPECT_EQ(now.State, 1767225600u);
  EXPECT_EQ(Draws(now, 3), (std::vector<int>{13385, 16723, 31415}));

  RandomSource wrapped(FixedClock(1767225600 + (std::time_t{1} << 32)));
  wrapped.SeedFromClock();
  EXPECT_EQ(wrapped.State, 1767225600u);
}

TEST(RandomSourceSequence, TwoSeedingsInOneSecondRepeatTheDraws) {
  RandomSource random(FixedClock(1767225600));
  random.SeedFromClock();
  const std::vector<int> first = Draws(random, 4);
  random.SeedFromClock();
  EXPECT_EQ(Draws(random, 4), first);
}

TEST(RandomSourceSequence, ASeedingInTheNextSecondStartsAnotherSequence) {
  RandomSource random(testing::TickingClock(1767225600));
  random.SeedFromClock();
  const std::vector<int> first = Draws(random, 4);
  random.SeedFromClock();
  EXPECT_NE(Draws(random, 4), first);
}

struct UniformCase {
  int draw;
  double closed;
  const char* openToEightDecimals;
  friend void PrintTo(const UniformCase& c, std::ostream* os) {
    *os << "draw " << c.draw;
  }
};

class RandomSourceUniform : public ::testing::TestWithParam<UniformCase> {};

TEST_P(RandomSourceUniform, ScalesTheDrawByTheFixedConstants) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeDraw(GetParam().draw);
  EXPECT_EQ(random.UniformClosed(), GetParam().closed);
  random.State = StateBeforeDraw(GetParam().draw);
  EXPECT_EQ(FormatPrintf("%.8f", random.UniformOpen()),
            GetParam().openToEightDecimals);
}

INSTANTIATE_TEST_SUITE_P(
    Draws, RandomSourceUniform,
    ::testing::Values(UniformCase{32767, 1.0, "0.99999695"},
                      UniformCase{0, 0.0, "0.00000000"},
                      UniformCase{16384, 16384 / 32767.0, "0.50001373"}),
    [](const auto& info) { return "Draw" + std::to_string(info.param.draw); });

TEST(RandomSourceUniform, ScalesAreTheDoublesOfOneOver32767And32767Point1) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeDraw(1);
  EXPECT_EQ(random.UniformClosed(), 3.051850947599719e-05);
  random.State = StateBeforeDraw(1);
  EXPECT_EQ(random.UniformOpen(), 3.0518416338339375e-05);
}

TEST(RandomSourcePick, EveryDrawGivesAnIndexBelowTheCount) {
  RandomSource random(FixedClock(0));
  for (const int count : {2, 3, 10, 15, 20}) {
    for (int draw = 0; draw <= RandomSource::kMaxDraw; ++draw) {
      random.State = StateBeforeDraw(draw);
      const int index = random.Pick(count);
      ASSERT_GE(index, 0) << count << " " << draw;
      ASSERT_LT(index, count) << count << " " << draw;
    }
    random.State = StateBeforeDraw(RandomSource::kMaxDraw);
    EXPECT_EQ(random.Pick(count), count - 1);
  }
}

// A state from which the next two draws are `first` and then any value in
// [secondLow, secondHigh].
std::uint32_t StateBeforeDraws(int first, int secondLow, int secondHigh) {
  for (std::uint32_t top = 0; top < 2; ++top) {
    for (std::uint32_t low = 0; low < (1u << 16); ++low) {
      const std::uint32_t next =
          (top << 31) | (static_cast<std::uint32_t>(first) << 16) | low;
      const int second =
          static_cast<int>(((next * 214013u + 2531011u) >> 16) & 0x7FFF);
      if (second >= secondLow && second <= secondHigh) {
        return testing::PreviousState(next);
      }
    }
  }
  ADD_FAILURE() << "no such state";
  return 0;
}

TEST(RandomSourceNormalPair, FirstDrawZeroGivesInfinitiesThatAreNotReplaced) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeDraws(0, 1, 8000);  // θ below a quarter turn
  const NormalDraws z = random.NormalPair();
  EXPECT_EQ(z.z1, INFINITY);
  EXPECT_EQ(z.z2, INFINITY);
}

TEST(RandomSourceNormalPair, BothDrawsZeroGiveNanAndInfinity) {
  RandomSource random(FixedClock(0));
  random.State = StateBeforeDraws(0, 0, 0);
  const NormalDraws z = random.NormalPair();
  EXPECT_TRUE(std::isnan(z.z1));  // infinite radius times sin 0
  EXPECT_EQ(z.z2, INFINITY);
}

TEST(RandomSourceNormalPair, UsesTheAngleOf6Point28318PerUnitDraw) {
  // From state 0: u1 = 38 / 32767.1 and u2 = 7719 / 32767.1, so
  // r = sqrt(-2 ln u1) and θ = 6.28318 u2 give these values (with the full
  // 2π, z1 would be 3.66174613).
  RandomSource random(FixedClock(0));
  random.SeedFromClock();
  const NormalDraws z = random.NormalPair();
  EXPECT_NEAR(z.z1, 3.6617457136312317, 1e-12);
  EXPECT_NEAR(z.z2, 0.3328760935451527, 1e-12);
}

}  // namespace
}  // namespace velm
