#include "optimizer/generation.h"

#include <gtest/gtest.h>

#include "optimizer/optimizer_test_support.h"
#include "support/case_dir.h"

namespace velm {
namespace {

using testing::FixedClock;
using testing::SettingsWithVariables;

constexpr double kOneIn32767 = 1.0 / 32767;

TEST(CreateGeneration, ParentsTakeTheDrawsParentByParentThenGeneByGene) {
  RandomSource random(FixedClock(0));  // draws 38, 7719, 21238, 2437, ...
  const Generation generation(SettingsWithVariables(2), random);
  EXPECT_EQ(generation.GeneBound, 3);
  EXPECT_EQ(generation.Parents[0].X[1], 38 * kOneIn32767);
  EXPECT_EQ(generation.Parents[0].X[2], 7719 * kOneIn32767);
  EXPECT_EQ(generation.Parents[1].X[1], 21238 * kOneIn32767);
  EXPECT_EQ(generation.Parents[1].X[2], 2437 * kOneIn32767);
}

TEST(CreateGeneration, ConsumesTenDrawsPerGene) {
  RandomSource random(FixedClock(0));
  const Generation generation(SettingsWithVariables(3), random);
  RandomSource reference(FixedClock(0));
  reference.SeedFromClock();
  for (int i = 0; i < 30; ++i) reference.Next15();
  EXPECT_EQ(random.State, reference.State);
}

TEST(CreateGeneration, ParentsStartWithStepSizeOneTenthAndChildrenWithZeros) {
  RandomSource random(FixedClock(7));
  const Generation generation(SettingsWithVariables(14), random);
  for (const Individual& parent : generation.Parents) {
    EXPECT_EQ(parent.X[0], 0.0);
    EXPECT_EQ(parent.Sigma[0], 0.0);
    for (int k = 1; k <= 14; ++k) {
      EXPECT_GE(parent.X[k], 0.0);
      EXPECT_LE(parent.X[k], 1.0);
      EXPECT_EQ(parent.Sigma[k], 0.1);
    }
    EXPECT_EQ(parent.f, 0.0);
  }
  for (const Individual& child : generation.Children) {
    EXPECT_EQ(child.X, Slots{});
    EXPECT_EQ(child.Sigma, Slots{});
    EXPECT_EQ(child.f, 0.0);
  }
}

TEST(CreateGeneration, GenerationsCreatedInOneSecondHaveTheSameParents) {
  RandomSource random(FixedClock(1767225600));
  const Generation first(SettingsWithVariables(4), random);
  const Generation second(SettingsWithVariables(4), random);
  for (int p = 0; p < Generation::ParentCount; ++p) {
    EXPECT_EQ(first.Parents[p].X, second.Parents[p].X);
  }
}

TEST(CreateGeneration, ReadsTheNumberOfGenesFromTheControlFile) {
  testing::CaseDir dir;
  testing::ControlValues control;
  control.VariableCount = 3;
  dir.WriteCase(control, {}, 1);
  testing::WorkingDirectory cwd(dir.Path());
  RandomSource random(FixedClock(0));
  const auto generation = CreateGeneration(random);
  EXPECT_EQ(generation->GeneBound, 4);
  EXPECT_EQ(generation->Parents[0].X[1], 38 * kOneIn32767);
  EXPECT_EQ(generation->Parents[0].X[4], 0.0);
}

TEST(GenerationRankTable, MemberNumbersCountParentsThenChildren) {
  RandomSource random(FixedClock(0));
  Generation generation(SettingsWithVariables(1), random);
  EXPECT_EQ(&generation.Member(9), &generation.Parents[9]);
  EXPECT_EQ(&generation.Member(10), &generation.Children[0]);
  EXPECT_EQ(&generation.Member(79), &generation.Children[69]);
}

}  // namespace
}  // namespace velm
