#include "results/scores.h"

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
  EXPECT_EQ(s.FitDays, 3);
  EXPECT_NEAR(*s.NSE, 0.0, kTolerance);  // 1 - 2 / 2
  EXPECT_NEAR(*s.R, r, kTolerance);
  EXPECT_NEAR(*s.Alpha, alpha, kTolerance);
  EXPECT_NEAR(*s.Beta, beta, kTolerance);
  EXPECT_NEAR(*s.Gamma, gamma, kTolerance);
  EXPECT_NEAR(*s.KGE,
              1 - std::sqrt((r - 1) * (r - 1) + (alpha - 1) * (alpha - 1) +
                            (beta - 1) * (beta - 1)),
              kTolerance);
  EXPECT_NEAR(*s.KGEPrime,
              1 - std::sqrt((r - 1) * (r - 1) + (beta - 1) * (beta - 1) +
                            (gamma - 1) * (gamma - 1)),
              kTolerance);
  EXPECT_NEAR(*s.PercentBias, 100.0 * 2 / 6, kTolerance);
  EXPECT_NEAR(*s.RMSE, std::sqrt(2.0 / 3), kTolerance);
  EXPECT_NEAR(*s.PeakError, 100.0 / 3, kTolerance);  // 4 against 3
}

// A constant observed series has no variance: NSE, r and the ratios built on
// its spread are undefined, the others are not.
TEST(Scores, ConstantObservedLeavesSpreadScoresUndefined) {
  const Scores s =
      ComputeScores(std::vector<double>{2, 2}, std::vector<double>{1, 3});
  for (auto score : {s.NSE, s.R, s.Alpha, s.Gamma, s.KGE, s.KGEPrime}) {
    EXPECT_FALSE(score.has_value());
  }
  EXPECT_EQ(*s.Beta, 1.0);
  EXPECT_EQ(*s.PercentBias, 0.0);
  EXPECT_EQ(*s.RMSE, 1.0);
  EXPECT_EQ(*s.PeakError, 50.0);
}

// Series after which no score is defined, and why.
TEST(Scores, UndefinedEverywhere) {
  const double nan = std::nan("");
  struct Row {
    const char* why;
    std::vector<double> observed;
    std::vector<double> calculated;
  };
  const Row rows[] = {
      {"no fit day", {0, nan, -1}, {1, 2, 3}},
      {"NaN calculated on the first fit day", {1, 2, 3}, {nan, 2, 4}},
      {"NaN calculated on a later fit day", {1, 2, 3}, {2, nan, 4}},
      {"NaN calculated on the peak day", {1, 2, 3}, {2, 2, nan}},
  };
  for (const Row& row : rows) {
    const Scores s = ComputeScores(row.observed, row.calculated);
    for (auto score : {s.NSE, s.KGE, s.R, s.Alpha, s.Beta, s.KGEPrime, s.Gamma,
                       s.PercentBias, s.RMSE, s.PeakError}) {
      EXPECT_FALSE(score.has_value()) << row.why;
    }
    EXPECT_EQ(FormatScore(s.PeakError), "undefined");
  }
}

}  // namespace
}  // namespace velm::report
