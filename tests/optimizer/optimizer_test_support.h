#pragma once

// Helpers of the optimizer tests: clocks, states that make the random source
// draw a chosen value, and an objective that records what it is asked.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "optimizer/objective_batch.h"
#include "optimizer/random_source.h"

namespace velm::testing {

// The generator's step run backwards: 214013 is odd, so it has an inverse
// modulo 2^32 (five Newton steps reach 32 bits).
inline std::uint32_t PreviousState(std::uint32_t state) {
  std::uint32_t inverse = 214013;
  for (int i = 0; i < 5; ++i) inverse *= 2 - 214013 * inverse;
  return (state - 2531011u) * inverse;
}

// A state whose next Next15 is `draw`.
inline std::uint32_t StateBeforeDraw(int draw) {
  return PreviousState(static_cast<std::uint32_t>(draw) << 16);
}

inline Clock FixedClock(std::time_t seconds) {
  return [seconds] { return seconds; };
}

// One second later at every reading.
inline Clock TickingClock(std::time_t start) {
  auto now = std::make_shared<std::time_t>(start);
  return [now] { return (*now)++; };
}

inline RunSettings WithVariables(int variableCount) {
  RunSettings settings;
  settings.VariableCount = variableCount;
  return settings;
}

// Scores gene vectors with a function; counts the batches and records the
// output flag of every evaluation.
class FakeObjective final : public Objective {
 public:
  explicit FakeObjective(std::function<double(const Slots&)> score)
      : score_(std::move(score)) {}

  std::unique_ptr<ObjectiveBatch> StartBatch() override {
    ++Batches;
    return std::make_unique<Batch>(*this);
  }

  int Batches = 0;
  std::vector<int> OutputFlags;

 private:
  struct Batch final : ObjectiveBatch {
    explicit Batch(FakeObjective& owner) : owner(owner) {}
    double Evaluate(const Slots& x, int outputFlag) override {
      owner.OutputFlags.push_back(outputFlag);
      return owner.score_(x);
    }
    FakeObjective& owner;
  };

  std::function<double(const Slots&)> score_;
};

}  // namespace velm::testing
