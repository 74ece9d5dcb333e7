#include "results/objective.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/case_dir.h"

namespace velm {
namespace {

// A set that keeps every ordering rule: F18 6 > fc 5; 0.5 ≥ 0.3 ≥ 0.2;
// tanks 0.2 ≥ 0.1 ≥ 0.05 and 0.5 ≥ 0.2 ≥ 0; fc ≥ the last BotomTank.
ParameterSet OrderedSet() {
  ParameterSet p;
  p.F18_Infiltration = 6;
  p.Final_Infiltration = 5;
  p.CoeffSurfaceTopTank = 0.5;
  p.CoeffSurfaceBotomTank = 0.3;
  p.TankCount = 3;
  p.CoeffTank = {0, 0.2, 0.1, 0.05};
  p.BotomTank = {0, 0.5, 0.2, 0};
  p.TankWaterDepth = {0, 0, 0, 0};
  return p;
}

struct ConstraintCase {
  const char* name;
  std::function<void(ParameterSet&)> change;
  double penalty;
};

TEST(ConstraintPenalty, EachRuleHasItsStrictOrNonStrictEdge) {
  const double nan = std::nan("");
  const ConstraintCase cases[] = {
      {"ordered", [](ParameterSet&) {}, 0},
      {"F18 equal to fc", [](ParameterSet& p) { p.F18_Infiltration = 5; },
       kConstraintPenalty},
      {"F18 NaN", [&](ParameterSet& p) { p.F18_Infiltration = nan; },
       kConstraintPenalty},
      {"top equal to floor",
       [](ParameterSet& p) { p.CoeffSurfaceTopTank = 0.3; }, 0},
      {"top below floor", [](ParameterSet& p) { p.CoeffSurfaceTopTank = 0.29; },
       kConstraintPenalty},
      {"floor equal to tank 1",
       [](ParameterSet& p) { p.CoeffSurfaceBotomTank = 0.2; }, 0},
      {"floor below tank 1",
       [](ParameterSet& p) { p.CoeffSurfaceBotomTank = 0.19; },
       kConstraintPenalty},
      {"floor NaN", [&](ParameterSet& p) { p.CoeffSurfaceBotomTank = nan; },
       kConstraintPenalty},
      {"fc equal to last bottom",
       [](ParameterSet& p) {
         p.BotomTank[3] = 5;
         p.BotomTank[2] = 5;
         p.BotomTank[1] = 5;
       },
       0},
      {"fc below last bottom",
       [](ParameterSet& p) {
         p.BotomTank = {0, 6, 6, 6};
       },
       kConstraintPenalty},
      {"equal neighbouring coefficients",
       [](ParameterSet& p) { p.CoeffTank[2] = 0.2; }, 0},
      {"rising coefficients", [](ParameterSet& p) { p.CoeffTank[3] = 0.11; },
       kConstraintPenalty},
      {"equal neighbouring bottoms",
       [](ParameterSet& p) { p.BotomTank[2] = 0.5; }, 0},
      {"rising bottoms", [](ParameterSet& p) { p.BotomTank[3] = 0.3; },
       kConstraintPenalty},
      {"last coefficient NaN", [&](ParameterSet& p) { p.CoeffTank[3] = nan; },
       kConstraintPenalty},
      {"every rule broken",
       [](ParameterSet& p) {
         p.F18_Infiltration = 1;
         p.CoeffSurfaceTopTank = 0;
         p.CoeffTank = {0, 1, 2, 3};
       },
       kConstraintPenalty},
      {"one tank still ordered against the surface",
       [](ParameterSet& p) {
         p.TankCount = 1;
         p.CoeffTank = {0, 0.4};
         p.BotomTank = {0, 0};
       },
       kConstraintPenalty},
      {"one tank, its bottom against fc",
       [](ParameterSet& p) {
         p.TankCount = 1;
         p.CoeffTank = {0, 0.2};
         p.BotomTank = {0, 5.5};
       },
       kConstraintPenalty},
      {"no tanks",
       [](ParameterSet& p) {
         p.TankCount = 0;
         p.CoeffTank = {0};
         p.BotomTank = {0};
       },
       0},
  };
  for (const ConstraintCase& c : cases) {
    ParameterSet p = OrderedSet();
    c.change(p);
    EXPECT_EQ(ConstraintPenalty(p), c.penalty) << c.name;
  }
}

TEST(ApplyGenes, ScalesIndexedParametersAndKeepsTheRest) {
  ParameterSet p = OrderedSet();
  p.Impervious = 0.2;
  p.MAX_Infiltration = 12;
  p.MAX_SoilMoisture = 200;
  RunSettings s;
  s.OptIndex_Impervious = 1;
  s.OptIndex_MAX_Infiltration = 2;
  s.OptIndex_Final_Infiltration = 2;
  *s.OptIndex_CoeffTank = {3};
  *s.OptIndex_BotomTank = {0, 3};  // tank 3 has no index: not calibrated
  Genes x{};
  x[0] = std::nan("");  // slot 0 holds no gene and is never read
  x[1] = 0.5;
  x[2] = 0.25;
  x[3] = 2;
  ApplyGenes(p, s, x);
  EXPECT_EQ(p.Impervious, 0.1);
  EXPECT_EQ(p.MAX_Infiltration, 3);
  EXPECT_EQ(p.Final_Infiltration, 1.25);
  EXPECT_EQ(p.F18_Infiltration, 6);
  EXPECT_EQ(p.MAX_SoilMoisture, 200);
  EXPECT_EQ(p.CoeffTank, (std::vector<double>{0, 0.4, 0.1, 0.05}));
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.4, 0}));
}

class EvaluateObjectiveOnAModel : public ::testing::Test {
 protected:
  EvaluateObjectiveOnAModel() {
    testing::ControlValues control;
    control.VariableCount = 2;
    control.ScalarIndices[7] = 1;  // CoeffSurfaceTopTank
    control.ScalarIndices[9] = 1;  // CoeffSurfaceBotomTank, same gene
    control.TankIndices = {{2, 0}, {2, 0}, {2, 0}};
    dir_.WriteCase(control, {}, 6);
  }
  static Genes Of(double first, double second) {
    Genes x{};
    x[1] = first;
    x[2] = second;
    return x;
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
};

TEST_F(EvaluateObjectiveOnAModel, GenesOfOneRunTheParameterFileAsItIs) {
  RunoffModel byGenes;
  RunoffModel byFile;
  const double f = EvaluateObjective(byGenes, Of(1.0, 1.0), 0);
  {
    testing::CapturedStdout echo;
    byFile.Simulate(0);
  }
  EXPECT_EQ(byGenes.CalcQ, byFile.CalcQ);
  EXPECT_EQ(byGenes.ActualE, byFile.ActualE);
  EXPECT_EQ(byGenes.Infiltration, byFile.Infiltration);
  EXPECT_EQ(f, ComputeFit(byFile, 0));
}

TEST_F(EvaluateObjectiveOnAModel, TheSameGenesScoreTheSameWhateverRanBefore) {
  RunoffModel model;
  const double first = EvaluateObjective(model, Of(0.7, 0.9), 0);
  EvaluateObjective(model, Of(0.1, 0.2), 0);
  model.Simulate(1);  // leaves other tank depths behind
  EXPECT_EQ(EvaluateObjective(model, Of(0.7, 0.9), 0), first);
  EXPECT_EQ(model.Parameters.CoeffSurfaceTopTank, 0.7 * 0.5);
  EXPECT_EQ(model.Parameters.CoeffSurfaceBotomTank, 0.7 * 0.3);
  EXPECT_EQ(model.Parameters.CoeffTank[3], 0.9 * 0.05);
}

TEST_F(EvaluateObjectiveOnAModel,
       FlagTwoScoresTheConstraintsAloneAndSaysNothing) {
  RunoffModel model;
  testing::CapturedStdout console;
  EXPECT_EQ(EvaluateObjective(model, Of(0.5, 0.5), 2), 0.0);
  // Gene 2 of 3 lifts every tank coefficient above the surface floor's 0.3.
  const std::vector<double> before = model.CalcQ;
  EXPECT_EQ(EvaluateObjective(model, Of(1.0, 3.0), 2), kConstraintPenalty);
  EXPECT_NE(model.CalcQ, before);  // a broken rule does not stop the run
  EXPECT_EQ(console.Text(), "");
  EXPECT_FALSE(dir_.Exists("result.csv"));
  EXPECT_EQ(EvaluateObjective(model, Of(1.0, 3.0), 0),
            ComputeFit(model, 0) + kConstraintPenalty);
}

}  // namespace
}  // namespace velm
