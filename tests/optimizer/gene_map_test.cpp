// The gene map and the ordering rules: what genes scale, when a parameter
// set is valid, how a broken rule reads, and whether a calibration's bounds
// can work.

#include "optimizer/gene_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "optimizer/bounds_check.h"

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

TEST(OrderRules, EachRuleHasItsStrictOrNonStrictEdge) {
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

TEST(GeneMap, ScalesIndexedParametersAndKeepsTheRest) {
  ParameterSet p = OrderedSet();
  p.Impervious = 0.2;
  p.MAX_Infiltration = 12;
  RunSettings s;
  s.VariableCount = 4;
  s.OptIndex[&ParameterSet::Impervious] = 1;
  s.OptIndex[&ParameterSet::MAX_Infiltration] = 2;
  s.OptIndex[&ParameterSet::Final_Infiltration] = 2;
  s.OptIndex[&ParameterSet::CoeffTank] = {0, 3};
  s.OptIndex[&ParameterSet::BotomTank] = {0, 3};         // tank 3 has no index: not calibrated
  const Genes x = {kNaN, 0.5, 0.25, 2};  // slot 0 holds no gene
  const GeneMap map(s.VariableCount, s.OptIndex);
  map.Apply(p, x);
  EXPECT_EQ(p.Impervious, 0.1);
  EXPECT_EQ(p.MAX_Infiltration, 3);
  EXPECT_EQ(p.Final_Infiltration, 1.25);
  EXPECT_EQ(p.F18_Infiltration, 6);
  EXPECT_EQ(p.CoeffTank, (std::vector<double>{0, 0.2, 0.2, 0.05}));
  EXPECT_EQ(p.BotomTank, (std::vector<double>{0, 0.5, 0.4, 0}));
  // Gene 4 scales nothing, and a parameter file cannot carry scaled values of
  // Impervious, the infiltration values or the last two tanks' CoeffTank.
  const BoundsCheck check = CheckBounds(OrderedSet(), map);
  EXPECT_EQ(check.UnusedGenes, (std::vector<int>{4}));
  std::vector<std::string> notCarried;
  for (const auto& n : check.NotCarriedThrough) {
    notCarried.push_back(n.Parameter.Parameter.Name());
  }
  EXPECT_EQ(notCarried,
            (std::vector<std::string>{"Impervious", "MAX_Infiltration",
                                      "Final_Infiltration", "CoeffTank[2]"}));
}

TEST(OrderRules, ABrokenRuleReadsWithItsValuesAndAResultIsJudgedByThem) {
  ParameterSet p = OrderedSet();
  p.CoeffSurfaceBotomTank = 0.0064;
  p.F18_Infiltration = 5;
  p.CoeffTank[3] = 0.1 + 1e-12;  // equal in six digits
  std::vector<std::string> broken;
  for (const OrderRule& rule : OrderRules(p)) {
    if (!rule.Holds()) broken.push_back(rule.Describe());
  }
  EXPECT_EQ(broken, (std::vector<std::string>{
                        "F18_Infiltration 5 <= Final_Infiltration 5",
                        "CoeffSurfaceBotomTank 0.0064 < CoeffTank[1] 0.2",
                        "CoeffTank[2] 0.10000000000000001 < CoeffTank[3] "
                        "0.10000000000100001"}));
  // Genes that scale nothing: the file's set is the scaled one, and no
  // rule breaks anywhere in the gene box.
  RunSettings s;
  s.VariableCount = 4;
  const Genes x{0, 1.0, -0.0123, kNaN, 0.0};
  const std::vector<std::string> problems =
      ResultProblems(x, kNaN, OrderedSet(), GeneMap(s.VariableCount, s.OptIndex));
  EXPECT_EQ(problems,
            (std::vector<std::string>{
                "gene X[2] = -0.0123 is outside [0, 1]",
                "gene X[3] = nan is not a finite number: the search's own "
                "arithmetic made it (a mutation's normal draw is infinite "
                "when its random number is 0), not the bounds, and no bounds "
                "can prevent it",
                "the search settled on genes outside [0, 1], which cost 1000 "
                "or 10000 without a simulation, because every gene vector "
                "inside [0, 1] that it scored did worse: no ordering rule "
                "breaks inside these bounds, so their f itself was larger",
                "the final f is not a number"}));
  s.VariableCount = 1;
  EXPECT_TRUE(ResultProblems(x, 2000.0, OrderedSet(), GeneMap(s.VariableCount, s.OptIndex)).empty());
}

TEST(BoundsCheck, EstimatesTheShareOfTheGeneBoxThatKeepsTheRules) {
  // Gene 1 scales CoeffSurfaceBotomTank (0.3, above CoeffTank[1] 0.2 only
  // for genes above 2/3), gene 2 the top tank's coefficient (0.5, always
  // above it): a third of the box keeps the rules.
  ParameterSet p = OrderedSet();
  RunSettings s;
  s.VariableCount = 2;
  s.OptIndex[&ParameterSet::CoeffSurfaceBotomTank] = 1;
  s.OptIndex[&ParameterSet::HighSurfaceTopTank] = 2;
  const BoundsCheck check = CheckBounds(p, GeneMap(s.VariableCount, s.OptIndex));
  EXPECT_NEAR(check.Share(), 1.0 / 3, 0.02);
  ASSERT_EQ(check.Failures.size(), 1u);
  EXPECT_EQ(check.Failures[0].Rule, "CoeffSurfaceBotomTank >= CoeffTank[1]");
  EXPECT_EQ(check.Failures[0].Genes, (std::vector<int>{1}));
  EXPECT_TRUE(BoundsWarnings(check, 2).empty());
  // A search that ends outside [0, 1] says how much of the box breaks what.
  const std::vector<std::string> problems =
      ResultProblems({0, 1.5, 0.5}, 10000, p, GeneMap(s.VariableCount, s.OptIndex));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[1].find(" % of the gene box [0, 1]^2 breaks an ordering "
                             "rule, and a broken rule adds 100000; broken "
                             "most: CoeffSurfaceBotomTank >= CoeffTank[1] ("),
            std::string::npos)
      << problems[1];
  p.CoeffTank[1] = 0.29;  // now only genes above 0.967
  const std::vector<std::string> warnings =
      BoundsWarnings(CheckBounds(p, GeneMap(s.VariableCount, s.OptIndex)), 2);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].substr(0, 7), "only 3.");
}

TEST(BoundsCheck, ARuleThatNoGeneScalesIsBrokenByTheFileAlone) {
  ParameterSet p = OrderedSet();
  p.CoeffTank[2] = 0.25;  // above CoeffTank[1] 0.2
  RunSettings s;
  s.VariableCount = 1;
  s.OptIndex[&ParameterSet::MAX_EvapoRatio] = 1;
  const BoundsCheck fixed = CheckBounds(p, GeneMap(s.VariableCount, s.OptIndex));
  ASSERT_EQ(fixed.FixedBreaks.size(), 1u);
  EXPECT_EQ(fixed.FixedBreaks[0].Describe(),
            "CoeffTank[1] 0.2 < CoeffTank[2] 0.25");
  // No bounds can mend it, so no share is reported, only the rule.
  EXPECT_EQ(BoundsWarnings(fixed, 1),
            std::vector<std::string>{FixedBreakWarning(fixed.FixedBreaks[0])});
  s.OptIndex[&ParameterSet::CoeffTank] = {0, 1};  // a gene on CoeffTank[2] can
  EXPECT_TRUE(CheckBounds(p, GeneMap(s.VariableCount, s.OptIndex)).FixedBreaks.empty());
}

}  // namespace
}  // namespace velm
