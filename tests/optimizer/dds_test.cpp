// The dynamically dimensioned search's rules, read from its record: the
// reflection at the box, the budget, the initial points, what replaces the
// best, and that it finds a known minimum.

#include "optimizer/dds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace velm {
namespace {

class ScoredBy final : public Objective {
 public:
  explicit ScoredBy(std::function<double(const Genes&)> score)
      : score_(std::move(score)) {}
  void Evaluate(std::span<const Genes* const> genes,
                std::span<double> f) override {
    for (std::size_t i = 0; i < genes.size(); ++i) {
      for (int k = 1; k < kSlotCount; ++k) {
        if (!(genes[i]->at(k) >= 0.0 && genes[i]->at(k) <= 1.0)) ++OutOfBox;
      }
      f[i] = score_(*genes[i]);
    }
    Calls += static_cast<int>(genes.size());
  }
  int Calls = 0;
  int OutOfBox = 0;

 private:
  std::function<double(const Genes&)> score_;
};

double DistanceFrom(const Genes& x, std::initializer_list<double> centre) {
  double sum = 0.0;
  int k = 1;
  for (double c : centre) sum += (x[k] - c) * (x[k] - c), ++k;
  return sum;
}

static_assert(EpochEvaluations() == 29460);

TEST(Dds, ReflectsAGeneBackAtTheBoundItCrossed) {
  const std::pair<double, double> rows[] = {
      {0.4, 0.4}, {0.0, 0.0}, {1.0, 1.0}, {-0.25, 0.25}, {1.25, 0.75},
      {-1.5, 0.0}, {2.5, 1.0}};
  for (const auto& [gene, reflected] : rows) {
    EXPECT_EQ(ReflectIntoUnitRange(gene), reflected) << gene;
  }
}

TEST(Dds, SpendsItsBudgetInTheBoxAndFindsAKnownMinimum) {
  ScoredBy objective(
      [](const Genes& x) { return DistanceFrom(x, {0.2, 0.9, 0.55}); });
  DynamicallyDimensionedSearch search(3, 3000, 7);
  EXPECT_EQ(search.InitialPoints(), 15);
  const DdsRecord record = search.Run(objective);
  EXPECT_EQ(record.Evaluations, 3000);
  EXPECT_EQ(objective.Calls, 3000);
  EXPECT_EQ(objective.OutOfBox, 0);
  EXPECT_LT(record.Best.f, 1e-5);
  EXPECT_EQ(record.Best.f, DistanceFrom(record.Best.X, {0.2, 0.9, 0.55}));
  EXPECT_EQ(record.Best.X[0], 0.0);
  EXPECT_EQ(record.Best.X[4], 0.0);
  EXPECT_GT(record.Accepted, 10);
}

TEST(Dds, ASeedRepeatsItsRunAndAnotherSeedDoesNot) {
  const auto run = [](std::uint32_t seed) {
    ScoredBy objective([](const Genes& x) { return DistanceFrom(x, {0.3, 0.3}); });
    return DynamicallyDimensionedSearch(2, 400, seed).Run(objective).Best;
  };
  const Individual a = run(5), b = run(5), c = run(6);
  EXPECT_EQ(a.X, b.X);
  EXPECT_EQ(a.f, b.f);
  EXPECT_NE(a.X, c.X);
}

TEST(Dds, ANumberReplacesANaNAndANaNNeverReplacesTheBest) {
  // NaN on most of the box, as a set that leaves no fit day would score.
  ScoredBy objective([](const Genes& x) {
    return x[1] < 0.9 ? std::nan("") : 1.0 - x[1];
  });
  const DdsRecord record =
      DynamicallyDimensionedSearch(1, 2000, 3).Run(objective);
  EXPECT_FALSE(std::isnan(record.Best.f));
  EXPECT_GE(record.Best.X[1], 0.9);
}

TEST(Dds, InitialPointsAreHalfAPercentOfTheBudgetAtLeastFive) {
  const std::pair<int, int> rows[] = {{29460, 147}, {1000, 5}, {3, 3}};
  for (const auto& [budget, points] : rows) {
    EXPECT_EQ(DynamicallyDimensionedSearch(2, budget, 1).InitialPoints(),
              points);
  }
  // A flat objective: every perturbed point is as good, so each replaces
  // the best.
  ScoredBy flat([](const Genes&) { return 1.0; });
  EXPECT_EQ(DynamicallyDimensionedSearch(2, 100, 1).Run(flat).Accepted, 95);
}

}  // namespace
}  // namespace velm
