#pragma once

// What the search works on: individuals (genes, step sizes, fitness), the
// generation of one sub-population (10 parents, 70 children and the table
// that ranks all 80), and the sub-population that holds its current
// generation.

#include <array>
#include <memory>

#include "input/run_settings.h"
#include "optimizer/random_source.h"

namespace velm {

// Slot k holds gene k (k from 1). Slot 0 holds no gene and stays 0.0: the
// recombination may read it as a partner gene, and then it must be a number.
inline constexpr int kSlotCount = RunSettings::kMaxVariableCount + 1;
using Slots = std::array<double, kSlotCount>;

struct Individual {
  Slots X{};
  Slots Sigma{};
  double f = 0.0;  // smaller is better
};

class Generation {
 public:
  static constexpr int ParentCount = 10;
  static constexpr int ChildCount = 70;
  static constexpr int MutantCount = ParentCount;  // children 0..9
  static constexpr int RankCount = ParentCount + ChildCount;
  static constexpr double kInitialSigma = 0.1;

  // Seeds `random` from the clock and draws the parents' genes in [0, 1],
  // parent by parent and gene by gene: 10 × VariableCount draws. Children
  // start with zero genes, step sizes and fitness.
  Generation(RunSettings settings, RandomSource& random);

  // RankTable holds member numbers: 0..9 are the parents, 10..79 the
  // children 0..69.
  Individual& Member(int number);
  const Individual& Member(int number) const;
  Individual& Ranked(int entry) { return Member(RankTable[entry]); }
  const Individual& Ranked(int entry) const { return Member(RankTable[entry]); }

  RunSettings Settings;
  int GeneBound = 1;  // VariableCount + 1: genes are 1 <= k < GeneBound
  std::array<Individual, ParentCount> Parents;
  std::array<Individual, ChildCount> Children;
  std::array<int, RankCount> RankTable;
};

// A new generation with the run's settings.
std::unique_ptr<Generation> CreateGeneration(RandomSource& random,
                                             const RunSettings& settings);

struct SubPopulation {
  std::unique_ptr<Generation> Current;

  // Parent 0 of the current generation: after every step the best so far.
  const Individual& Best() const { return Current->Parents[0]; }
};

}  // namespace velm
