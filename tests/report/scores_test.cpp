#include "report/scores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace velm::report {
namespace {

constexpr double kTolerance = 1e-12;

// observed 1, 2, 3 and calculated 2, 2, 4, worked by hand: means 2 and 8/3,
// squared deviations 2 and 8/3, co-deviation 2, squared error 2. A day
// without observed runoff (the first) is not a fit day and changes nothing.
TEST(Scores, WorkedSeries) {
  const std::vector<double> observed = {0, 1, 2, 3};
  const std::vector<double> calculated = {100, 2, 2, 4};
  const Scores s = ComputeScores(observed, calculated);
  const double r = std::sqrt(3.0) / 2;  // (2/3) / sqrt(2/3 * 8/9)
  const double alpha = 2 / std::sqrt(3.0);
  const double beta = 4.0 / 3;
  const double gamma = alpha / beta;
  EXPECT_EQ(s.fitDays, 3);
  EXPECT_NEAR(*s.nse, 0.0, kTolerance);  // 1 - 2 / 2
  EXPECT_NEAR(*s.r, r, kTolerance);
  EXPECT_NEAR(*s.alpha, alpha, kTolerance);
  EXPECT_NEAR(*s.beta, beta, kTolerance);
  EXPECT_NEAR(*s.gamma, gamma, kTolerance);
  EXPECT_NEAR(*s.kge,
              1 - std::sqrt((r - 1) * (r - 1) + (alpha - 1) * (alpha - 1) +
                            (beta - 1) * (beta - 1)),
              kTolerance);
  EXPECT_NEAR(*s.kgePrime,
              1 - std::sqrt((r - 1) * (r - 1) + (beta - 1) * (beta - 1) +
                            (gamma - 1) * (gamma - 1)),
              kTolerance);
  EXPECT_NEAR(*s.percentBias, 100.0 * 2 / 6, kTolerance);
  EXPECT_NEAR(*s.rmse, std::sqrt(2.0 / 3), kTolerance);
  EXPECT_NEAR(*s.peakError, 100.0 / 3, kTolerance);  // 4 against 3
}

// A constant observed series has no variance: NSE, r and the ratios built on
// its spread are undefined, the others are not.
TEST(Scores, ConstantObservedLeavesSpreadScoresUndefined) {
  const Scores s =
      ComputeScores(std::vector<double>{2, 2}, std::vector<double>{1, 3});
  for (auto score : {s.nse, s.r, s.alpha, s.gamma, s.kge, s.kgePrime}) {
    EXPECT_FALSE(score.has_value());
  }
  EXPECT_EQ(*s.beta, 1.0);
  EXPECT_EQ(*s.percentBias, 0.0);
  EXPECT_EQ(*s.rmse, 1.0);
  EXPECT_EQ(*s.peakError, 50.0);
}

TEST(Scores, NoFitDayLeavesEveryScoreUndefined) {
  const std::vector<double> observed = {0, std::nan(""), -1};
  const Scores s = ComputeScores(observed, std::vector<double>{1, 2, 3});
  EXPECT_EQ(s.fitDays, 0);
  for (auto score : {s.nse, s.kge, s.r, s.alpha, s.beta, s.kgePrime, s.gamma,
                     s.percentBias, s.rmse, s.peakError}) {
    EXPECT_FALSE(score.has_value());
  }
}

}  // namespace
}  // namespace velm::report
