// Daily totals and the fit measures. Whole evaluations and result files are
// pinned byte for byte by tests/cases.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/simulate.h"
#include "results/efficiency.h"
#include "results/fit.h"

namespace velm {
namespace {

const double kNaN = std::nan("");

TEST(DailyFit, TotalsLastHourFirstAndMeasuresOnlyObservedDays) {
  // 1e16 + 23 ones: added last-first the ones survive; a trailing part of a
  // day has no total.
  std::vector<double> hours(50, 1.0);
  hours[0] = 1e16;
  std::vector<double> days(3, -7.0);
  SumDaily(hours, days);
  EXPECT_EQ(days, (std::vector<double>{1e16 + 24, 24, -7}));

  const std::vector<double> observed{3, 0, 6, -1, kNaN}, calcQ{0, 5, 4, 7, 1};
  const std::vector<double> rain{1, 10, 2, 20, 30};
  const std::vector<double> actualE{0.5, 10, 0.25, 20, 30};
  const FitMeasures fit = MeasureFit({calcQ, rain, {}, actualE, observed});
  EXPECT_EQ(fit.FitDays, 2);
  EXPECT_DOUBLE_EQ(fit.RMSE, std::sqrt((9.0 + 4.0) / 2));
  EXPECT_DOUBLE_EQ(fit.RR, std::sqrt((9.0 / 9 + 4.0 / 36) / 2));
  EXPECT_DOUBLE_EQ(fit.RE, 100 * (3.0 / 3 + 2.0 / 6) / 2);
  EXPECT_DOUBLE_EQ(fit.BalanceRatio, 5.0 / 9);
  EXPECT_EQ(fit.SumRain + fit.SumObservedQ + fit.SumActualE, 3 + 9 + 0.75);
  EXPECT_EQ(fit.SumCalcQ, 4.0);
  const std::vector<double> one{1}, zero{0};
  EXPECT_TRUE(std::isnan(MeasureFit({one, {}, {}, {}, zero}).RE));
}

TEST(DailyFit, ObjectiveTypeChoosesTheMeasureOrScoresTheBalance) {
  FitMeasures fit;
  fit.RMSE = 1.5, fit.RR = 2.5, fit.RE = 3.5, fit.BalanceRatio = 0.05;
  const double expected[] = {0.5, 1.5, 2.5, 3.5, 0.5};
  for (int type = 0; type <= 4; ++type) {
    EXPECT_DOUBLE_EQ(SelectedMeasure(fit, type, 0.1), expected[type]) << type;
  }
  fit.BalanceRatio = 0.1;  // at the limit: no longer below it
  EXPECT_EQ(SelectedMeasure(fit, 0, 0.1), 0.0);
  EXPECT_DOUBLE_EQ(SelectedMeasure(fit, 0, kNaN), 1.0);
}

TEST(Efficiency, LossesAreOneMinusTheEfficiencyOverTheFitDays) {
  // Day 0 is no fit day, so the 100 there counts for nothing; swapping the
  // two fit days' values gives an NSE of -3 in any transform.
  const std::vector<double> observed{0, 1, 3}, same{100, 1, 3},
      swapped{100, 3, 1}, higher{100, 1.5, 4.5};
  struct Row {
    Efficiency Measure;
    const std::vector<double>& Calculated;
    double Loss;
  };
  const Row rows[] = {
      {Efficiency::kNse, same, 0.0},      {Efficiency::kKge, same, 0.0},
      {Efficiency::kLogNse, same, 0.0},   {Efficiency::kNse, swapped, 4.0},
      {Efficiency::kLogNse, swapped, 4.0},
      // r = 1 and alpha = beta = 1.5: KGE = 1 - sqrt(0.5).
      {Efficiency::kKge, higher, std::sqrt(0.5)},
      {Efficiency::kNse, higher, 1.25}};
  for (const Row& row : rows) {
    EXPECT_NEAR(EfficiencyLoss(row.Measure, observed, row.Calculated),
                row.Loss, 1e-12)
        << static_cast<int>(row.Measure) << " " << row.Calculated[1];
  }
  // A day without calculated runoff still has a logarithm; a constant
  // observed series has no variance to explain.
  EXPECT_TRUE(LogNse(observed, std::vector<double>{0, 0, 3}).has_value());
  const std::vector<double> constant{2, 2};
  for (Efficiency e : {Efficiency::kNse, Efficiency::kKge, Efficiency::kLogNse}) {
    EXPECT_TRUE(std::isnan(EfficiencyLoss(e, constant, constant)));
  }
}

}  // namespace
}  // namespace velm
