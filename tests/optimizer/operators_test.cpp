#include "optimizer/operators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "optimizer/optimizer_test_support.h"
#include "optimizer/shell_sort.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FakeObjective;
using testing::FixedClock;
using testing::WithVariables;

double Quarter(const Slots&) { return 0.25; }

struct PenaltyCase {
  double gene1, gene2, f;
};

TEST(EvaluateChildren,
     TheLastOutOfRangeGeneSetsThePenaltyAndSkipsTheObjective) {
  const double nan = std::nan("");
  const PenaltyCase cases[] = {
      {-0.1, 1.1, 10000}, {1.1, -0.1, 1000}, {0.5, -0.1, 1000},
      {1.5, 0.5, 10000},  {0.0, 1.0, 0.25},  {nan, 0.5, 0.25}};  // NaN passes
  for (const PenaltyCase& c : cases) {
    RandomSource random(FixedClock(0));
    Generation generation(WithVariables(2), random);
    generation.Children[0].X = {0, c.gene1, c.gene2};
    for (Individual& parent : generation.Parents) parent.f = 0.125;
    FakeObjective objective(Quarter);

    EvaluateChildren(generation, 2, objective);

    EXPECT_EQ(generation.Children[0].f, c.f) << c.gene1 << " " << c.gene2;
    EXPECT_EQ(objective.OutputFlags.size(), c.f == 0.25 ? 70u : 69u);
    EXPECT_EQ(generation.Parents[9].f, 0.125);  // parents are not evaluated
  }
}

TEST(EvaluateParents, AGeneOutsideTheRangeGivesTheParentPenaltyInstead) {
  for (const double gene : {-0.5, 1.5}) {
    RandomSource random(FixedClock(0));
    Generation generation(WithVariables(1), random);
    generation.Parents[3].X[1] = gene;
    FakeObjective objective(Quarter);

    EvaluateParents(generation, 1, objective);

    EXPECT_EQ(generation.Parents[3].f, 100000.0);
    EXPECT_EQ(generation.Parents[4].f, 0.25);
    ASSERT_EQ(objective.OutputFlags.size(), 9u);
    EXPECT_EQ(objective.Batches, 1);
    EXPECT_EQ(objective.OutputFlags[0], 1);
  }
}

TEST(Mutate, StepSizeAndGeneFollowTheSelfAdaptiveRuleFromAFreshSeed) {
  RandomSource random(FixedClock(0));
  Generation generation(WithVariables(1), random);
  Mutate(generation, random);

  // One gene, so N = 2: τ1 = 1 / sqrt(2 sqrt 2) and τ2 = 1 / sqrt(2 · 2).
  RandomSource draws(FixedClock(0));
  draws.SeedFromClock();
  for (int i = 0; i < 10; ++i) {
    const NormalDraws z = draws.NormalPair();
    const double sigma = 0.1 * std::exp(0.5946035575013605 * z.z1 + 0.5 * z.z2);
    EXPECT_DOUBLE_EQ(generation.Children[i].Sigma[1], sigma);
    EXPECT_DOUBLE_EQ(generation.Children[i].X[1],
                     generation.Parents[i].X[1] + sigma * z.z1);
  }
}

TEST(Mutate, ASelectedRecombinantHasNoStepSizeSoItsMutantEqualsIt) {
  RandomSource random(FixedClock(0));
  Generation generation(WithVariables(1), random);
  // Only recombinants (of a 0 and a 1, or half a 1) reach 0.5 exactly.
  for (int i = 0; i < 10; ++i) {
    generation.Parents[i].X[1] = i % 2;
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
}

TEST(Recombine, DrawsMainParentThenPartnerAndSlotForEachGeneFromAFreshSeed) {
  RandomSource random(FixedClock(5));
  Generation generation(WithVariables(2), random);
  Mutate(generation, random);  // mutants are partners too
  Recombine(generation, random);

  RandomSource draws(FixedClock(5));
  draws.SeedFromClock();
  for (int m = 10; m < 70; ++m) {
    const Individual& main = generation.Parents[draws.Pick(10)];
    for (int k = 1; k <= 2; ++k) {
      const Individual& partner = generation.Member(draws.Pick(20));
      const double gene = partner.X[draws.Pick(3)];
      EXPECT_EQ(generation.Children[m].X[k],
                main.X[k] + (gene - main.X[k]) * 0.5);
    }
    EXPECT_EQ(generation.Children[m].Sigma, Slots{});
  }
}

TEST(Recombine, WithOneGeneThePartnerSlotIsZeroOrOne) {
  RandomSource random(FixedClock(11));
  Generation generation(WithVariables(1), random);
  // Parent and mutant genes lie in [0.5, 1): a recombinant below 0.5 took
  // slot 0, which holds 0.0, and one above it took gene 1.
  std::vector<double> parents;
  std::vector<double> partners;
  for (int i = 0; i < 10; ++i) {
    parents.push_back(generation.Parents[i].X[1] = 0.5 + i / 64.0);
    partners.push_back(generation.Children[i].X[1] = 0.75 + i / 64.0);
    partners.push_back(parents.back());
  }
  Recombine(generation, random);

  int slotZero = 0;
  for (int m = 10; m < 70; ++m) {
    const double twice = 2 * generation.Children[m].X[1];
    bool explained = false;
    if (twice < 1) {
      ++slotZero;
      explained = std::count(parents.begin(), parents.end(), twice) > 0;
    }
    for (const double a : parents) {
      for (const double b : partners) explained |= twice == a + b;
    }
    EXPECT_TRUE(explained) << twice;
  }
  EXPECT_GT(slotZero, 0);
  EXPECT_LT(slotZero, 60);
}

// Member m carries m in its gene and step size.
Generation Marked(const std::function<double(int)>& fitness) {
  RandomSource random(FixedClock(0));
  Generation generation(WithVariables(1), random);
  for (int m = 0; m < Generation::RankCount; ++m) {
    generation.Member(m).X[1] = m;
    generation.Member(m).Sigma[1] = -m;
    generation.Member(m).f = fitness(m);
  }
  return generation;
}

std::vector<double> ParentMarks(const Generation& generation) {
  std::vector<double> marks;
  for (const Individual& parent : generation.Parents) {
    marks.push_back(parent.X[1]);
  }
  return marks;
}

TEST(SelectBest, TheTenSmallestBecomeTheParentsInAscendingOrder) {
  Generation generation = Marked([](int m) { return 79.0 - m; });
  SelectBest(generation);
  EXPECT_EQ(ParentMarks(generation),
            (std::vector<double>{79, 78, 77, 76, 75, 74, 73, 72, 71, 70}));
  EXPECT_EQ(generation.Parents[0].Sigma[1], -79);
  EXPECT_EQ(generation.Parents[0].f, 0);
}

TEST(SelectBest, EqualFitnessIsNeverSwapped) {
  Generation generation = Marked([](int) { return 0.3; });
  SelectBest(generation);
  EXPECT_EQ(ParentMarks(generation),
            (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(SelectBest, TheFirstPassComparesEntriesFortyApart) {
  // The gap-40 pass swaps entry 40 with entry 0, and the former parent 0,
  // equal to all the rest, stays at entry 40 (an insertion sort would keep
  // it as parent 1).
  Generation generation = Marked([](int m) { return m == 40 ? 0.0 : 1.0; });
  SelectBest(generation);
  EXPECT_EQ(ParentMarks(generation),
            (std::vector<double>{40, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ShellSort, ANanStaysAndNothingPassesIt) {
  // Six positions, as in the ranking: gap 4 compares 3 with 5 and NaN with
  // 0; gap 1 sorts what lies behind the NaN. Position 6 is not included.
  const double nan = std::nan("");
  std::vector<double> keys{3, nan, 2, 1, 5, 0, -1};
  ShellSort(
      6, [&](int i) { return keys[i]; },
      [&](int a, int b) { std::swap(keys[a], keys[b]); });
  EXPECT_EQ(keys[0], 3);
  EXPECT_TRUE(std::isnan(keys[1]));
  EXPECT_EQ(std::vector<double>(keys.begin() + 2, keys.end()),
            (std::vector<double>{0, 1, 2, 5, -1}));
}

TEST(StepSubPopulation,
     SurvivorsKeepTheirFitnessAndBecomeSortedParentsOfANewGeneration) {
  testing::CaseDir dir;
  testing::ControlValues control;
  control.VariableCount = 2;
  dir.WriteCase(control, {}, 1);
  testing::WorkingDirectory cwd(dir.Path());
  // Parents score 9 down to 0; every child scores worse.
  int calls = 0;
  FakeObjective objective([&](const Slots&) {
    ++calls;
    return calls <= 10 ? 10.0 - calls : 100.0 + calls;
  });
  RandomSource random(FixedClock(0));
  SubPopulation subPopulation;

  RunSettings settings;
  settings.Read();
  InitialiseSubPopulation(subPopulation, 2, random, objective, settings);
  const auto before = subPopulation.Current->Parents;
  EXPECT_EQ(before[0].f, 9.0);  // evaluated, not sorted
  StepSubPopulation(subPopulation, 2, random, objective, settings);

  EXPECT_EQ(objective.Batches, 2);
  const Generation& next = *subPopulation.Current;
  EXPECT_EQ(next.GeneBound, 3);  // read from the control file
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(next.Parents[i].f, before[9 - i].f);
    EXPECT_EQ(next.Parents[i].X, before[9 - i].X);
  }
  for (const Individual& child : next.Children) EXPECT_EQ(child.X, Slots{});
}

}  // namespace
}  // namespace velm
