#include "optimizer/dds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace velm {
namespace {

// Draws in [0, 1) and standard normal draws from 32-bit words of the
// twister, formed without the library's distributions, whose algorithms
// the standard leaves open.
class DdsRandom {
 public:
  explicit DdsRandom(std::uint32_t seed) : engine_(seed) {}

  double Uniform() { return engine_() * 0x1p-32; }

  // Box–Muller; 1 − u keeps the logarithm's argument above 0.
  double Normal() {
    const double u1 = 1.0 - Uniform();
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  }

  int Pick(int count) { return static_cast<int>(Uniform() * count); }

 private:
  std::mt19937 engine_;
};

// A NaN f says nothing about the genes; any number is better.
bool Better(double candidate, double best) {
  return !std::isnan(candidate) && (std::isnan(best) || candidate < best);
}

bool NotWorse(double candidate, double best) {
  return Better(candidate, best) || candidate == best;
}

}  // namespace

double ReflectIntoUnitRange(double gene) {
  if (gene < 0.0) {
    gene = -gene;
    return gene > 1.0 ? 0.0 : gene;
  }
  if (gene > 1.0) {
    gene = 2.0 - gene;
    return gene < 0.0 ? 1.0 : gene;
  }
  return gene;
}

DynamicallyDimensionedSearch::DynamicallyDimensionedSearch(int variableCount,
                                                           int budget,
                                                           std::uint32_t seed)
    : variableCount_(variableCount), budget_(budget), seed_(seed) {}

int DynamicallyDimensionedSearch::InitialPoints() const {
  return std::min(budget_, std::max(5, budget_ / 200));
}

DdsRecord DynamicallyDimensionedSearch::Run(Objective& objective) {
  DdsRandom random(seed_);
  DdsRecord record;
  Individual& best = record.Best;
  best.f = std::nan("");
  Individual candidate;
  const Genes* const batch[] = {&candidate.X};
  const auto evaluate = [&] {
    objective.Evaluate(batch, std::span(&candidate.f, 1));
    ++record.Evaluations;
  };

  for (int i = 0; i < InitialPoints(); ++i) {
    for (int k = 1; k <= variableCount_; ++k) candidate.X[k] = random.Uniform();
    evaluate();
    if (i == 0 || Better(candidate.f, best.f)) best = candidate;
  }

  // The chance that a gene is perturbed falls from 1 to 0 over the
  // remaining evaluations, logarithmically.
  const int searchSteps = budget_ - record.Evaluations;
  for (int step = 1; step <= searchSteps; ++step) {
    const double chance =
        searchSteps > 1
            ? 1.0 - std::log(static_cast<double>(step)) /
                        std::log(static_cast<double>(searchSteps))
            : 0.0;
    candidate.X = best.X;
    bool perturbed = false;
    for (int k = 1; k <= variableCount_; ++k) {
      if (random.Uniform() < chance) {
        candidate.X[k] = ReflectIntoUnitRange(
            best.X[k] + kPerturbation * random.Normal());
        perturbed = true;
      }
    }
    if (!perturbed && variableCount_ > 0) {
      const int k = 1 + random.Pick(variableCount_);
      candidate.X[k] =
          ReflectIntoUnitRange(best.X[k] + kPerturbation * random.Normal());
    }
    evaluate();
    if (NotWorse(candidate.f, best.f)) {
      best = candidate;
      ++record.Accepted;
    }
  }
  return record;
}

}  // namespace velm
