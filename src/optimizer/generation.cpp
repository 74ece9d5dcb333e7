#include "optimizer/generation.h"

#include <numeric>
#include <utility>

namespace velm {

Generation::Generation(RunSettings settings, RandomSource& random)
    : Settings(std::move(settings)), GeneBound(Settings.VariableCount + 1) {
  std::iota(RankTable.begin(), RankTable.end(), 0);
  random.SeedFromClock();
  for (Individual& parent : Parents) {
    for (int k = 1; k < GeneBound; ++k) {
      parent.X[k] = random.UniformClosed();
      parent.Sigma[k] = kInitialSigma;
    }
    parent.f = 0.0;
  }
}

Individual& Generation::Member(int number) {
  return number < ParentCount ? Parents[number]
                              : Children[number - ParentCount];
}

const Individual& Generation::Member(int number) const {
  return number < ParentCount ? Parents[number]
                              : Children[number - ParentCount];
}

std::unique_ptr<Generation> CreateGeneration(RandomSource& random,
                                             const RunSettings& settings) {
  return std::make_unique<Generation>(settings, random);
}

}  // namespace velm
