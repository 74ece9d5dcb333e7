#include "optimizer/operators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "optimizer/optimizer_test_support.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FakeObjective;
using testing::FixedClock;
using testing::SettingsWithVariables;

double Constant(const Slots&) { return 0.25; }

// ---- Evaluation ----------------------------------------------------------

struct ChildCase {
  std::string name;
  double gene1;
  double gene2;
  double f;
  bool evaluated;
  friend void PrintTo(const ChildCase& c, std::ostream* os) { *os << c.name; }
};

class EvaluateChildrenPenalty : public ::testing::TestWithParam<ChildCase> {};

TEST_P(EvaluateChildrenPenalty, LastOutOfRangeGeneDecidesAndPenaltySkipsTheObjective) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(2), random);
  for (Individual& child : generation.Children) child.X = {0, 0.5, 0.5};
  generation.Children[0].X = {0, GetParam().gene1, GetParam().gene2};
  FakeObjective objective(Constant);

  EvaluateChildren(generation, 2, objective);

  EXPECT_EQ(generation.Children[0].f, GetParam().f);
  EXPECT_EQ(objective.Calls.size(), GetParam().evaluated ? 70u : 69u);
}

INSTANTIATE_TEST_SUITE_P(
    Genes, EvaluateChildrenPenalty,
    ::testing::Values(
        ChildCase{"BelowZeroThenAboveOne", -0.1, 1.1, 10000.0, false},
        ChildCase{"AboveOneThenBelowZero", 1.1, -0.1, 1000.0, false},
        ChildCase{"BelowZeroOnly", 0.5, -0.1, 1000.0, false},
        ChildCase{"AboveOneOnly", 1.5, 0.5, 10000.0, false},
        ChildCase{"BothEndsOfTheRangeAreValid", 0.0, 1.0, 0.25, true},
        ChildCase{"NanGenePassesTheBoundsTest", std::nan(""), 0.5, 0.25, true}),
    [](const auto& info) { return info.param.name; });

struct ParentCase {
  std::string name;
  double gene;
  double f;
  bool evaluated;
  friend void PrintTo(const ParentCase& c, std::ostream* os) { *os << c.name; }
};

class EvaluateParentsPenalty : public ::testing::TestWithParam<ParentCase> {};

TEST_P(EvaluateParentsPenalty, OutOfRangeGeneGivesTheParentPenaltyInstead) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  generation.Parents[3].X[1] = GetParam().gene;
  FakeObjective objective(Constant);

  EvaluateParents(generation, 0, objective);

  EXPECT_EQ(generation.Parents[3].f, GetParam().f);
  EXPECT_EQ(objective.Calls.size(), GetParam().evaluated ? 10u : 9u);
}

INSTANTIATE_TEST_SUITE_P(
    Genes, EvaluateParentsPenalty,
    ::testing::Values(ParentCase{"AboveOne", 1.5, 100000.0, false},
                      ParentCase{"BelowZero", -0.5, 100000.0, false},
                      ParentCase{"Zero", 0.0, 0.25, true},
                      ParentCase{"One", 1.0, 0.25, true}),
    [](const auto& info) { return info.param.name; });

TEST(EvaluationBatches, EachOperatorCallIsOneBatchGivenTheRunsOutputFlag) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  FakeObjective objective(Constant);

  EvaluateParents(generation, 1, objective);
  EvaluateChildren(generation, 2, objective);

  EXPECT_EQ(objective.Batches, 2);
  ASSERT_EQ(objective.Calls.size(), 80u);
  for (std::size_t i = 0; i < 80; ++i) {
    EXPECT_EQ(objective.Calls[i].Batch, i < 10 ? 1 : 2);
    EXPECT_EQ(objective.Calls[i].OutputFlag, i < 10 ? 1 : 2);
  }
}

TEST(EvaluateChildren, LeavesTheParentsFitnessAlone) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  for (Individual& parent : generation.Parents) parent.f = 0.125;
  FakeObjective objective(Constant);

  EvaluateChildren(generation, 0, objective);

  EXPECT_EQ(objective.Calls.size(), 70u);
  for (const Individual& parent : generation.Parents) EXPECT_EQ(parent.f, 0.125);
}

// ---- Mutation and recombination ------------------------------------------

TEST(Mutate, StepSizeAndGeneFollowTheSelfAdaptiveRuleFromAFreshSeed) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  Mutate(generation, random);

  // With one gene N = 2: τ1 = 1 / sqrt(2 sqrt 2) and τ2 = 1 / sqrt(2 · 2).
  const double tau1 = 0.5946035575013605;
  const double tau2 = 0.5;
  RandomSource draws(FixedClock(0));
  draws.SeedFromClock();
  for (int i = 0; i < 10; ++i) {
    const NormalDraws z = draws.NormalPair();
    const double sigma = 0.1 * std::exp(tau1 * z.z1 + tau2 * z.z2);
    EXPECT_DOUBLE_EQ(generation.Children[i].Sigma[1], sigma) << i;
    EXPECT_DOUBLE_EQ(generation.Children[i].X[1],
                     generation.Parents[i].X[1] + sigma * z.z1)
        << i;
    EXPECT_EQ(generation.Children[i].f, 0.0);
  }
  EXPECT_EQ(generation.Children[10].X, Slots{});
}

TEST(Mutate, ASelectedRecombinantHasNoStepSizeSoItsMutantEqualsIt) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  // The objective favours 0.5, which only a recombinant of a 0 and a 1 (or
  // half of a 1) hits exactly.
  for (int i = 0; i < Generation::ParentCount; ++i) {
    generation.Parents[i].X[1] = i % 2 == 0 ? 0.0 : 1.0;
    generation.Parents[i].f = 0.5;
  }
  FakeObjective objective([](const Slots& x) { return std::fabs(x[1] - 0.5); });
  Mutate(generation, random);
  Recombine(generation, random);
  EvaluateChildren(generation, 0, objective);
  SelectBest(generation);

  const Individual best = generation.Parents[0];
  ASSERT_EQ(best.f, 0.0);
  EXPECT_EQ(best.Sigma, Slots{});
  Mutate(generation, random);
  EXPECT_EQ(generation.Children[0].X, best.X);
  EXPECT_EQ(generation.Children[0].Sigma, Slots{});
}

TEST(Recombine, DrawsMainParentThenPartnerAndSlotForEachGeneFromAFreshSeed) {
  RandomSource random(FixedClock(5));
  Generation generation(SettingsWithVariables(2), random);
  Mutate(generation, random);  // the mutants are partners too
  std::reverse(generation.RankTable.begin(), generation.RankTable.end());
  Recombine(generation, random);

  RandomSource draws(FixedClock(5));
  draws.SeedFromClock();
  for (int m = 10; m < 70; ++m) {
    const Individual& child = generation.Children[m];
    const Individual& main = generation.Parents[draws.Pick(10)];
    for (int k = 1; k <= 2; ++k) {
      const int b = draws.Pick(20);
      const Individual& partner =
          b < 10 ? generation.Parents[b] : generation.Children[b - 10];
      const int s = draws.Pick(3);
      EXPECT_EQ(child.X[k], main.X[k] + (partner.X[s] - main.X[k]) * 0.5)
          << m << " " << k;
    }
    EXPECT_EQ(child.Sigma, Slots{});
    EXPECT_EQ(child.f, 0.0);
  }
  for (int entry = 0; entry < Generation::RankCount; ++entry) {
    EXPECT_EQ(generation.RankTable[entry], entry);
  }
}

TEST(Recombine, WithOneGeneThePartnerSlotIsZeroOrOne) {
  RandomSource random(FixedClock(11));
  Generation generation(SettingsWithVariables(1), random);
  // Every parent and mutant gene lies in [0.5, 1), so a recombinant below
  // 0.5 took the partner's slot 0 (which holds 0.0) and one at or above it
  // took a gene 1.
  std::vector<double> parentGenes;
  std::vector<double> partnerGenes;
  for (int i = 0; i < 10; ++i) {
    generation.Parents[i].X[1] = 0.5 + i / 64.0;
    generation.Children[i].X[1] = 0.75 + i / 64.0;
    parentGenes.push_back(generation.Parents[i].X[1]);
    partnerGenes.push_back(generation.Parents[i].X[1]);
    partnerGenes.push_back(generation.Children[i].X[1]);
  }
  Recombine(generation, random);

  int fromSlotZero = 0;
  int fromSlotOne = 0;
  for (int m = 10; m < 70; ++m) {
    const double twice = 2 * generation.Children[m].X[1];
    ASSERT_FALSE(std::isnan(twice));
    bool explained = false;
    if (twice < 1) {
      ++fromSlotZero;
      explained = std::count(parentGenes.begin(), parentGenes.end(), twice) > 0;
    } else {
      ++fromSlotOne;
      for (const double a : parentGenes) {
        for (const double b : partnerGenes) explained |= twice == a + b;
      }
    }
    EXPECT_TRUE(explained) << m << " " << twice;
  }
  EXPECT_GT(fromSlotZero, 0);
  EXPECT_GT(fromSlotOne, 0);
}

// ---- Selection -----------------------------------------------------------

// Member m (0..9 parents, 10..79 children) carries m in its genes and step
// sizes, so a test can tell where each individual went.
Generation MarkedGeneration(const std::function<double(int)>& fitness) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  for (int m = 0; m < Generation::RankCount; ++m) {
    generation.Member(m).X[1] = m / 100.0;
    generation.Member(m).Sigma[1] = m / 1000.0;
    generation.Member(m).f = fitness(m);
  }
  return generation;
}

TEST(SelectBest, TheTenSmallestBecomeTheParentsInAscendingOrder) {
  Generation generation = MarkedGeneration([](int m) { return 79.0 - m; });
  SelectBest(generation);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(generation.Parents[i].f, i);
    EXPECT_EQ(generation.Parents[i].X[1], (79 - i) / 100.0);
    EXPECT_EQ(generation.Parents[i].Sigma[1], (79 - i) / 1000.0);
  }
}

TEST(SelectBest, AllEqualFitnessKeepsTheOrderAndTheFormerParents) {
  Generation generation = MarkedGeneration([](int) { return 0.3; });
  SelectBest(generation);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(generation.Parents[i].X[1], i / 100.0);
  for (int entry = 0; entry < Generation::RankCount; ++entry) {
    EXPECT_EQ(generation.RankTable[entry], entry);
  }
}

TEST(SelectBest, TheFirstPassComparesEntriesFortyApart) {
  // One better individual at entry 40: the gap-40 pass swaps it with entry
  // 0, and the former parent 0, equal to all the rest, stays at entry 40. An
  // insertion sort would have kept it as parent 1 instead.
  Generation generation = MarkedGeneration([](int m) { return m == 40 ? 0.0 : 1.0; });
  SelectBest(generation);
  EXPECT_EQ(generation.Parents[0].X[1], 40 / 100.0);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(generation.Parents[i].X[1], i / 100.0);
}

TEST(SelectBest, ANanFitnessInFrontIsNeverMoved) {
  Generation generation = MarkedGeneration(
      [](int m) { return m == 0 ? std::nan("") : 79.0 - m; });
  SelectBest(generation);
  EXPECT_TRUE(std::isnan(generation.Parents[0].f));
  EXPECT_EQ(generation.Parents[0].X[1], 0.0);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(generation.Parents[i].f, i - 1);
}

// ---- Sub-populations -----------------------------------------------------

class SubPopulationOperators : public ::testing::Test {
 protected:
  SubPopulationOperators() {
    testing::ControlValues control;
    control.VariableCount = 2;
    dir_.WriteCase(control, {}, 1);
  }

  testing::CaseDir dir_;
  testing::WorkingDirectory cwd_{dir_.Path()};
  RandomSource random_{FixedClock(0)};
};

TEST_F(SubPopulationOperators, InitialisingEvaluatesRandomParentsUnsorted) {
  int calls = 0;
  FakeObjective objective([&](const Slots&) { return 10.0 - ++calls; });
  SubPopulation subPopulation;

  InitialiseSubPopulation(subPopulation, 2, random_, objective);

  EXPECT_EQ(objective.Batches, 1);
  const Generation& generation = *subPopulation.Current;
  EXPECT_EQ(generation.GeneBound, 3);
  EXPECT_EQ(generation.Parents[0].X[1], 38 / 32767.0);
  for (int p = 0; p < 10; ++p) EXPECT_EQ(generation.Parents[p].f, 9.0 - p);
}

TEST_F(SubPopulationOperators, SteppingKeepsTheSurvivorsFitnessSortedInANewGeneration) {
  // Parents score 9 down to 0; every child scores worse than all of them.
  int calls = 0;
  FakeObjective objective([&](const Slots&) {
    ++calls;
    return calls <= 10 ? 10.0 - calls : 100.0 + calls;
  });
  SubPopulation subPopulation;
  InitialiseSubPopulation(subPopulation, 2, random_, objective);
  const auto before = subPopulation.Current->Parents;

  StepSubPopulation(subPopulation, 2, random_, objective);

  EXPECT_EQ(objective.Batches, 2);
  const Generation& next = *subPopulation.Current;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(next.Parents[i].f, before[9 - i].f);
    EXPECT_EQ(next.Parents[i].X, before[9 - i].X);
    EXPECT_EQ(next.Parents[i].Sigma, before[9 - i].Sigma);
  }
  for (const Individual& child : next.Children) {
    EXPECT_EQ(child.X, Slots{});
    EXPECT_EQ(child.f, 0.0);
  }
}

}  // namespace
}  // namespace velm
