#pragma once

// What the search works on: individuals (genes, step sizes, fitness), the
// generation of one sub-population (10 parents, 70 children and the table
// that ranks all 80), and the sub-population that holds its current
// generation.

#include <array>
#include <memory>

#include "optimizer/gene_map.h"
#include "optimizer/random_source.h"

namespace velm {

struct Individual {
  Genes X{};
  Genes Sigma{};  // the mutation step size of gene k in slot k
  double f = 0.0;  // smaller is better
};

class Generation {
 public:
  static constexpr int kParentCount = 10;
  static constexpr int kChildCount = 70;
  static constexpr int kMutantCount = kParentCount;  // children 0..9
  static constexpr int kRankCount = kParentCount + kChildCount;
  static constexpr double kInitialSigma = 0.1;

  // Seeds `random` from the clock and draws the parents' genes in [0, 1],
  // parent by parent and gene by gene: 10 × variableCount draws. Children
  // start with zero genes, step sizes and fitness.
  Generation(int variableCount, RandomSource& random);

  // RankTable holds member numbers: 0..9 are the parents, 10..79 the
  // children 0..69.
  Individual& Member(int number);
  const Individual& Member(int number) const;
  Individual& Ranked(int entry) { return Member(RankTable[entry]); }
  const Individual& Ranked(int entry) const { return Member(RankTable[entry]); }

  int GeneBound = 1;  // variableCount + 1: genes are 1 <= k < GeneBound
  std::array<Individual, kParentCount> Parents;
  std::array<Individual, kChildCount> Children;
  std::array<int, kRankCount> RankTable;
};

struct SubPopulation {
  std::unique_ptr<Generation> Current;

  // Parent 0 of the current generation: after every step the best so far.
  const Individual& Best() const { return Current->Parents[0]; }
};

}  // namespace velm
