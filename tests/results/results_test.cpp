// The objective's pieces: the ordering rules, the genes applied to the
// parameters, daily totals and the fit measures. Whole evaluations and result
// files are pinned byte for byte by tests/cases.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "results/fit.h"
#include "results/objective.h"

namespace velm {
namespace {

const double kNaN = std::nan("");

// Keeps every rule: F18 6 > fc 5; 0.5 ≥ 0.3 ≥ 0.2; tanks 0.2 ≥ 0.1 ≥ 0.05
// and 0.5 ≥ 0.2 ≥ 0; fc ≥ the last BotomTank.
ParameterSet OrderedSet() {
  ParameterSet p;
  p.F18_Infiltration = 6;
  p.Final_Infiltration = 5;
  p.CoeffSurfaceTopTank = 0.5;
  p.CoeffSurfaceBotomTank = 0.3;
  p.TankCount = 3;
  p.CoeffTank = {0, 0.2, 0.1, 0.05};
  p.BotomTank = {0, 0.5, 0.2, 0};
  return p;
}

TEST(ConstraintPenalty, EachRuleHasItsStrictOrNonStrictEdge) {
  using Change = std::function<void(ParameterSet&)>;
  const std::pair<Change, double> rows[] = {
      {[](auto&) {}, 0},
      {[](auto& p) { p.F18_Infiltration = 5; }, kConstraintPenalty},
      {[](auto& p) { p.F18_Infiltration = kNaN; }, kConstraintPenalty},
      {[](auto& p) { p.CoeffSurfaceTopTank = 0.3; }, 0},
      {[](auto& p) { p.CoeffSurfaceTopTank = 0.29; }, kConstraintPenalty},
      {[](auto& p) { p.CoeffSurfaceBotomTank = 0.2; }, 0},
      {[](auto& p) { p.CoeffSurfaceBotomTank = 0.19; }, kConstraintPenalty},
      {[](auto& p) { p.CoeffSurfaceBotomTank = kNaN; }, kConstraintPenalty},
      {[](auto& p) { p.BotomTank[1] = p.BotomTank[2] = p.BotomTank[3] = 5; },
       0},
      {[](auto& p) { p.BotomTank[1] = p.BotomTank[2] = p.BotomTank[3] = 6; },
       kConstraintPenalty},
      {[](auto& p) { p.CoeffTank[2] = 0.2; }, 0},
      {[](auto& p) { p.CoeffTank[3] = 0.11; }, kConstraintPenalty},
      {[](auto& p) { p.BotomTank[2] = 0.5; }, 0},
      {[](auto& p) { p.BotomTank[3] = 0.3; }, kConstraintPenalty},
      {[](auto& p) { p.CoeffTank[3] = kNaN; }, kConstraintPenalty},
      // One tank is still ordered against the surface and fc; none is not.
      {[](auto& p) { p.TankCount = 1, p.CoeffTank[1] = 0.4; },
       kConstraintPenalty},
      {[](auto& p) { p.TankCount = 1, p.BotomTank[1] = 5.5; },
       kConstraintPenalty},
      {[](auto& p) { p.TankCount = 0, p.CoeffTank[1] = 9, p.BotomTank = {}; },
       0}};
  for (std::size_t row = 0; row < std::size(rows); ++row) {
    ParameterSet p = OrderedSet();
    rows[row].first(p);
    EXPECT_EQ(ConstraintPenalty(p), rows[row].second) << "row " << row;
  }
}

TEST(ApplyGenes, ScalesIndexedParametersAndKeepsTheRest) {
  ParameterSet p = OrderedSet();
  p.Impervious = 0.2;
  p.MAX_Infiltration = 12;
  RunSettings s;
  s.OptIndex_Impervious = 1;
  s.OptIndex_MAX_Infiltration = 2;
  s.OptIndex_Final_Infiltration = 2;
  *s.OptIndex_CoeffTank = {3};
  *s.OptIndex_BotomTank = {0, 3};        // tank 3 has no index: not calibrated
  const Genes x = {kNaN, 0.5, 0.25, 2};  // slot 0 holds no gene
  ApplyGenes(p, s, x);
  EXPECT_EQ(p.Impervious, 0.1);
  EXPECT_EQ(p.MAX_Infiltration, 3);
  EXPECT_EQ(p.Final_Infiltration, 1.25);
  EXPECT_EQ(p.F18_Infiltration, 6);
  EXPECT_EQ(p.CoeffTank, (std::vector<double>{0, 0.4, 0.1, 0.05}));
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.4, 0}));
}

TEST(DailyFit, TotalsLastHourFirstAndMeasuresOnlyObservedDays) {
  // 1e16 + 23 ones: added last-first the ones survive; a trailing part of a
  // day has no total.
  std::vector<double> hours(50, 1.0);
  hours[0] = 1e16;
  std::vector<double> days(3, -7.0);
  SumDaily(hours, days);
  EXPECT_EQ(days, (std::vector<double>{1e16 + 24, 24, -7}));

  DailyTotals d;
  d.ObservedQ = {3, 0, 6, -1, kNaN};
  d.CalcQ = {0, 5, 4, 7, 1};
  d.Rain = {1, 10, 2, 20, 30};
  d.ActualE = {0.5, 10, 0.25, 20, 30};
  const FitMeasures fit = MeasureFit(d);
  EXPECT_EQ(fit.FitDays, 2);
  EXPECT_DOUBLE_EQ(fit.RMSE, std::sqrt((9.0 + 4.0) / 2));
  EXPECT_DOUBLE_EQ(fit.RR, std::sqrt((9.0 / 9 + 4.0 / 36) / 2));
  EXPECT_DOUBLE_EQ(fit.RE, 100 * (3.0 / 3 + 2.0 / 6) / 2);
  EXPECT_DOUBLE_EQ(fit.BalanceRatio, 5.0 / 9);
  EXPECT_EQ(fit.SumRain + fit.SumObservedQ + fit.SumActualE, 3 + 9 + 0.75);
  EXPECT_EQ(fit.SumCalcQ, 4.0);
  EXPECT_TRUE(std::isnan(MeasureFit(DailyTotals{{1}, {}, {}, {}, {0}}).RE));
}

TEST(DailyFit, ObjectiveTypeChoosesTheMeasureOrScoresTheBalance) {
  FitMeasures fit;
  fit.RMSE = 1.5, fit.RR = 2.5, fit.RE = 3.5, fit.BalanceRatio = 0.05;
  RunSettings s;
  s.BalanceErrorLimit = 0.1;
  const double expected[] = {0.5, 1.5, 2.5, 3.5, 0.5};
  for (int type = 0; type <= 4; ++type) {
    s.ObjectiveType = type;
    EXPECT_DOUBLE_EQ(SelectedMeasure(fit, s), expected[type]) << type;
  }
  fit.BalanceRatio = 0.1;  // at the limit: no longer below it
  EXPECT_EQ(SelectedMeasure(fit, s), 0.0);
  s.BalanceErrorLimit = kNaN;
  EXPECT_DOUBLE_EQ(SelectedMeasure(fit, s), 1.0);
}

}  // namespace
}  // namespace velm
