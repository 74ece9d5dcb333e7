#include "optimizer/operators.h"

#include <cmath>
#include <span>
#include <utility>
#include <vector>

namespace velm {

namespace {

// Scores the individuals in the order given, as one batch, and adds f to the
// penalty each one holds.
void ScoreInOrder(std::span<Individual* const> individuals,
                  Objective& objective) {
  std::vector<const Genes*> genes;
  genes.reserve(individuals.size());
  for (const Individual* individual : individuals) {
    genes.push_back(&individual->X);
  }
  std::vector<double> f(individuals.size());
  objective.Evaluate(genes, f);
  for (std::size_t i = 0; i < individuals.size(); ++i) {
    individuals[i]->f = individuals[i]->f + f[i];
  }
}

}  // namespace

double ChildBoundsPenalty(const Genes& x, int geneBound) {
  // Searched from the last gene back: g++ 12 at -O3 turns the forward loop
  // that overwrites the penalty into a two-lane reduction that can keep an
  // earlier gene's penalty. A NaN gene, which the mutation makes from an
  // infinite normal draw, is not at most 1: it counts as above.
  for (int k = geneBound - 1; k >= 1; --k) {
    if (x[k] < 0) return kChildBelowZeroPenalty;
    if (!(x[k] <= 1)) return kChildAboveOnePenalty;
  }
  return 0.0;
}

void EvaluateParents(Generation& generation, Objective& objective) {
  std::vector<Individual*> scored;
  for (Individual& parent : generation.Parents) {
    for (int k = 1; k < generation.GeneBound; ++k) {
      if (!(parent.X[k] >= 0 && parent.X[k] <= 1)) {
        parent.f = kParentBoundsPenalty;
      }
    }
    if (parent.f < kParentEvaluationLimit) scored.push_back(&parent);
  }
  ScoreInOrder(scored, objective);
}

void EvaluateChildren(Generation& generation, Objective& objective) {
  std::vector<Individual*> scored;
  for (int entry = Generation::kParentCount; entry < Generation::kRankCount;
       ++entry) {
    Individual& child = generation.Ranked(entry);
    const double penalty = ChildBoundsPenalty(child.X, generation.GeneBound);
    if (penalty != 0.0) child.f = penalty;
    if (child.f < kChildEvaluationLimit) scored.push_back(&child);
  }
  ScoreInOrder(scored, objective);
}

void Mutate(Generation& generation, RandomSource& random) {
  random.SeedFromClock();
  const double n = generation.GeneBound;
  const double tau1 = 1 / std::sqrt(2 * std::sqrt(n));
  const double tau2 = 1 / std::sqrt(2 * n);
  for (int i = 0; i < Generation::kMutantCount; ++i) {
    const Individual& parent = generation.Parents[i];
    Individual& child = generation.Children[i];
    for (int k = 1; k < generation.GeneBound; ++k) {
      const NormalDraws z = random.NormalPair();
      child.Sigma[k] = parent.Sigma[k] * std::exp(tau1 * z.z1 + tau2 * z.z2);
      // The step uses the same z1 that scaled the step size.
      child.X[k] = parent.X[k] + child.Sigma[k] * z.z1;
    }
  }
}

void Recombine(Generation& generation, RandomSource& random) {
  for (int i = 0; i < Generation::kParentCount; ++i) {
    generation.RankTable[i] = i;
    generation.RankTable[Generation::kParentCount + i] =
        Generation::kParentCount + i;
  }
  random.SeedFromClock();
  constexpr int kPartnerCount =
      Generation::kParentCount + Generation::kMutantCount;
  for (int m = Generation::kMutantCount; m < Generation::kChildCount; ++m) {
    Individual& child = generation.Children[m];
    const Individual& main =
        generation.Ranked(random.Pick(Generation::kParentCount));
    for (int k = 1; k < generation.GeneBound; ++k) {
      const Individual& partner = generation.Ranked(random.Pick(kPartnerCount));
      // Any gene of the partner, slot 0 included, not necessarily gene k.
      const int s = random.Pick(generation.GeneBound);
      child.X[k] =
          main.X[k] + (partner.X[s] - main.X[k]) * kRecombinationWeight;
    }
    generation.RankTable[m + Generation::kParentCount] =
        m + Generation::kParentCount;
  }
}

void SelectBest(Generation& generation, NaNKeys nanKeys) {
  auto& table = generation.RankTable;
  ShellSort(
      Generation::kRankCount,
      [&](int entry) { return generation.Ranked(entry).f; },
      [&](int a, int b) { std::swap(table[a], table[b]); }, nanKeys);
  // The best may include parents, which the copy overwrites: copy out first.
  std::array<Individual, Generation::kParentCount> best;
  for (int i = 0; i < Generation::kParentCount; ++i) {
    best[i] = generation.Ranked(i);
  }
  generation.Parents = best;
}

void InitialiseSubPopulation(SubPopulation& subPopulation,
                             RandomSource& random, Objective& objective,
                             int variableCount) {
  auto generation = std::make_unique<Generation>(variableCount, random);
  EvaluateParents(*generation, objective);
  subPopulation.Current = std::move(generation);
}

void StepSubPopulation(SubPopulation& subPopulation, RandomSource& random,
                       Objective& objective, int variableCount,
                       NaNKeys nanKeys) {
  Generation& generation = *subPopulation.Current;
  Mutate(generation, random);
  Recombine(generation, random);
  EvaluateChildren(generation, objective);
  SelectBest(generation, nanKeys);
  // The next generation is created with random parents like a first one
  // (reseeding); the survivors then replace them.
  auto next = std::make_unique<Generation>(variableCount, random);
  next->Parents = generation.Parents;
  subPopulation.Current = std::move(next);
}

}  // namespace velm
