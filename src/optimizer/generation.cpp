#include "optimizer/generation.h"

#include <numeric>

namespace velm {

Generation::Generation(int variableCount, RandomSource& random)
    : GeneBound(variableCount + 1) {
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
  return number < kParentCount ? Parents[number]
                               : Children[number - kParentCount];
}

const Individual& Generation::Member(int number) const {
  return number < kParentCount ? Parents[number]
                               : Children[number - kParentCount];
}

}  // namespace velm
