#pragma once

// How the operators score individuals. Evaluations come in batches (the 10
// parents of a new sub-population, or the 70 children of a step).

#include <memory>
#include <span>
#include <vector>

#include "input/run_inputs.h"
#include "optimizer/evaluation_cache.h"
#include "optimizer/generation.h"

namespace velm {

class RunoffModel;

class ObjectiveBatch {
 public:
  virtual ~ObjectiveBatch() = default;
  // f of one gene vector; depends on the genes alone, not on what the batch
  // evaluated before.
  virtual double Evaluate(const Slots& x, int outputFlag) = 0;
  // f[i] of genes[i], with the output of evaluating them one after another
  // in this order.
  virtual void EvaluateAll(std::span<const Slots* const> genes,
                           std::span<double> f, int outputFlag);
};

class Objective {
 public:
  virtual ~Objective() = default;
  // A batch lives from before its first evaluation to after its last.
  virtual std::unique_ptr<ObjectiveBatch> StartBatch() = 0;
};

// The calibration's objective, the runoff model. As f depends on the genes
// alone, f is kept for the whole run by the genes' exact bits and a repeat is
// not simulated again. The new gene vectors of a batch are evaluated in
// parallel, one model per thread (the models are kept for the run); results
// and reports come out as if evaluated one after another. A calibration holds
// the result file open for the whole run, so an evaluation with output flag 1
// prints its fit report on the console only; a second writer on that file
// would tear what the run writes.
class ModelObjective final : public Objective {
 public:
  explicit ModelObjective(
      std::shared_ptr<RunInputs> inputs = std::make_shared<RunInputs>());
  ~ModelObjective() override;
  std::unique_ptr<ObjectiveBatch> StartBatch() override;

  // Gene vectors scored, and the simulations that took.
  struct Counts {
    long Evaluations = 0;
    long Simulations = 0;
  };
  const Counts& EvaluationCounts() const { return counts_; }

 private:
  class Batch;
  std::shared_ptr<RunInputs> inputs_;
  std::vector<std::unique_ptr<RunoffModel>> models_;
  EvaluationCache cache_;
  Counts counts_;
};

}  // namespace velm
