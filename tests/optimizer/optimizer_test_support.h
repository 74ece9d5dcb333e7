#pragma once

// Test helpers of the optimizer: states that make the random source draw a
// chosen value, and an objective that records what it is asked.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "optimizer/generation.h"
#include "optimizer/objective_batch.h"
#include "optimizer/random_source.h"

namespace velm::testing {

// The state before `state`: the generator's step run backwards. 214013 is
// odd, so it has an inverse modulo 2^32 (five Newton steps reach 32 bits).
inline std::uint32_t PreviousState(std::uint32_t state) {
  const std::uint32_t a = 214013;
  std::uint32_t inverse = a;
  for (int i = 0; i < 5; ++i) inverse *= 2 - a * inverse;
  return (state - 2531011u) * inverse;
}

// A state whose next Next15 is `draw`.
inline std::uint32_t StateBeforeDraw(int draw) {
  return PreviousState(static_cast<std::uint32_t>(draw) << 16);
}

inline Clock FixedClock(std::time_t seconds) {
  return [seconds] { return seconds; };
}

// A clock that moves on one second per reading.
inline Clock TickingClock(std::time_t start) {
  auto now = std::make_shared<std::time_t>(start);
  return [now] { return (*now)++; };
}

inline RunSettings SettingsWithVariables(int variableCount) {
  RunSettings settings;
  settings.VariableCount = variableCount;
  return settings;
}

// Scores gene vectors with a function and records every call.
class FakeObjective final : public Objective {
 public:
  struct Call {
    Slots X;
    int OutputFlag;
    int Batch;  // which StartBatch the call belonged to, from 1
  };

  explicit FakeObjective(std::function<double(const Slots&)> score)
      : score_(std::move(score)) {}

  std::unique_ptr<ObjectiveBatch> StartBatch() override {
    ++Batches;
    return std::make_unique<Batch>(*this, Batches);
  }

  int Batches = 0;
  std::vector<Call> Calls;

 private:
  class Batch final : public ObjectiveBatch {
   public:
    Batch(FakeObjective& owner, int number) : owner_(owner), number_(number) {}
    double Evaluate(const Slots& x, int outputFlag) override {
      owner_.Calls.push_back({x, outputFlag, number_});
      return owner_.score_(x);
    }

   private:
    FakeObjective& owner_;
    int number_;
  };

  std::function<double(const Slots&)> score_;
};

}  // namespace velm::testing
