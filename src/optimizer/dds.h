#pragma once

// Dynamically dimensioned search (Tolson and Shoemaker 2007): a greedy
// search from the best point found so far that perturbs a random subset of
// the genes, a subset that shrinks as the budget is spent, so that it
// searches globally at first and locally at the end. It works in the same
// gene box [0, 1]^n as velm's own search and on the same objective, with the
// same budget, so that the two can be compared start for start.

#include <cstdint>

#include "optimizer/generation.h"
#include "optimizer/objective.h"
#include "optimizer/optimizer.h"

namespace velm {

// The evaluations velm's own search makes in its six epochs: each
// sub-population's first generation, then every epoch's steps of the
// sub-populations still active.
constexpr int EpochEvaluations() {
  int evaluations = Optimizer::kSubPopulationCount *
                    Optimizer::kEvaluationsPerInitialisation;
  for (int active = Optimizer::kSubPopulationCount; active > 0; --active) {
    evaluations += active * Optimizer::kGenerationsPerEpoch *
                   Optimizer::kEvaluationsPerStep;
  }
  return evaluations;
}

struct DdsRecord {
  Individual Best;      // the genes in slots 1..n and their f
  int Evaluations = 0;  // all of them, the initial points included
  int Accepted = 0;     // perturbed points that became the best
};

class DynamicallyDimensionedSearch {
 public:
  // The perturbation's standard deviation as a share of a gene's range.
  static constexpr double kPerturbation = 0.2;

  // `budget` evaluations in all; the random numbers come from a Mersenne
  // twister seeded with `seed`, which gives the same draws on every
  // platform.
  DynamicallyDimensionedSearch(int variableCount, int budget,
                               std::uint32_t seed);

  // The initial points are drawn uniformly from the box, the best of them
  // is the start; each later point perturbs the best so far and replaces it
  // when its f is not worse. A NaN f never replaces a number, and any
  // number replaces a NaN.
  DdsRecord Run(Objective& objective);

  // Random points before the search proper: 0.5 % of the budget, at least 5
  // (and never more than the budget).
  int InitialPoints() const;

 private:
  int variableCount_;
  int budget_;
  std::uint32_t seed_;
};

// A gene that a perturbation took out of [0, 1], reflected back into it at
// the bound it crossed; one that the reflection would take out again lands
// on that bound.
double ReflectIntoUnitRange(double gene);

}  // namespace velm
