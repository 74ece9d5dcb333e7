#include "results/fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace velm {
namespace {

TEST(SumDaily, AddsEachDaysHoursLastHourFirst) {
  // 1e16 + 23 ones: added last-first the ones survive (23 rounds to 24 at
  // this magnitude); added first-last each one would be lost.
  std::vector<double> hours(48, 1.0);
  hours[0] = 1e16;
  for (int t = 24; t < 48; ++t) hours[t] = 0.125 * t;
  std::vector<double> days(2, -1.0);
  SumDaily(hours, days);
  EXPECT_EQ(days[0], 1e16 + 24);
  EXPECT_EQ(days[1], 0.125 * (24 + 47) * 12);
}

TEST(SumDaily, ATrailingPartialDayIsLeftOut) {
  const std::vector<double> hours(30, 1.0);
  std::vector<double> days = {-1.0, -7.0};
  SumDaily(hours, days);
  EXPECT_EQ(days, (std::vector<double>{24.0, -7.0}));
}

DailyTotals Days(std::vector<double> observed, std::vector<double> calculated) {
  DailyTotals days;
  days.ObservedQ = std::move(observed);
  days.CalcQ = std::move(calculated);
  days.Rain.assign(days.ObservedQ.size(), 0.0);
  days.PotentialE.assign(days.ObservedQ.size(), 0.0);
  days.ActualE.assign(days.ObservedQ.size(), 0.0);
  return days;
}

TEST(MeasureFit, OnlyDaysWithObservedRunoffCount) {
  DailyTotals days = Days({3, 0, 6, -1, std::nan("")}, {0, 5, 4, 7, 1});
  days.Rain = {1, 10, 2, 20, 30};
  days.ActualE = {0.5, 10, 0.25, 20, 30};
  const FitMeasures fit = MeasureFit(days);
  EXPECT_EQ(fit.FitDays, 2);
  EXPECT_DOUBLE_EQ(fit.RMSE, std::sqrt((9.0 + 4.0) / 2));
  EXPECT_DOUBLE_EQ(fit.RR, std::sqrt((9.0 / 9 + 4.0 / 36) / 2));
  EXPECT_DOUBLE_EQ(fit.RE, 100 * (3.0 / 3 + 2.0 / 6) / 2);
  EXPECT_EQ(fit.SumRain, 3.0);
  EXPECT_EQ(fit.SumObservedQ, 9.0);
  EXPECT_EQ(fit.SumCalcQ, 4.0);
  EXPECT_EQ(fit.SumActualE, 0.75);
  EXPECT_DOUBLE_EQ(fit.BalanceRatio, 5.0 / 9);
}

TEST(MeasureFit, WithoutAFitDayEveryMeasureIsNaN) {
  const FitMeasures fit = MeasureFit(Days({0, 0}, {1, 2}));
  EXPECT_EQ(fit.FitDays, 0);
  EXPECT_TRUE(std::isnan(fit.RMSE));
  EXPECT_TRUE(std::isnan(fit.RR));
  EXPECT_TRUE(std::isnan(fit.RE));
  EXPECT_TRUE(std::isnan(fit.BalanceRatio));
}

TEST(SelectedMeasure, ObjectiveTypeChoosesTheMeasureOrScoresTheBalance) {
  FitMeasures fit;
  fit.RMSE = 1.5;
  fit.RR = 2.5;
  fit.RE = 3.5;
  fit.BalanceRatio = 0.05;
  RunSettings settings;
  settings.BalanceErrorLimit = 0.1;
  const double expected[] = {0.5, 1.5, 2.5, 3.5, 0.5, 0.5};
  for (int type = 0; type <= 5; ++type) {
    settings.ObjectiveType = type;
    EXPECT_DOUBLE_EQ(SelectedMeasure(fit, settings), expected[type]) << type;
  }
  settings.ObjectiveType = 4;
  fit.BalanceRatio = 0.1;  // at the limit: no longer below it
  EXPECT_EQ(SelectedMeasure(fit, settings), 0.0);
  fit.BalanceRatio = std::nan("");
  EXPECT_TRUE(std::isnan(SelectedMeasure(fit, settings)));
  fit.BalanceRatio = 0.2;
  settings.BalanceErrorLimit = std::nan("");
  EXPECT_DOUBLE_EQ(SelectedMeasure(fit, settings), 2.0);
}

}  // namespace
}  // namespace velm
