#pragma once

// How the operators score individuals. Evaluations come in batches (the 10
// parents of a new sub-population, or the 70 children of a step), and every
// batch works on one model of its own: building a model reads all the input
// files, so it is built once per batch, not once per individual.

#include <memory>

#include "optimizer/generation.h"

namespace velm {

class ObjectiveBatch {
 public:
  virtual ~ObjectiveBatch() = default;
  // f of one gene vector; depends on the genes alone, not on what the batch
  // evaluated before.
  virtual double Evaluate(const Slots& x, int outputFlag) = 0;
};

class Objective {
 public:
  virtual ~Objective() = default;
  // A batch lives from before its first evaluation to after its last.
  virtual std::unique_ptr<ObjectiveBatch> StartBatch() = 0;
};

// The calibration's objective: one RunoffModel per batch. A calibration holds
// the result file open for the whole run, so an evaluation with output flag 1
// prints its fit report on the console only; a second writer on that file
// would tear what the run writes.
class ModelObjective final : public Objective {
 public:
  std::unique_ptr<ObjectiveBatch> StartBatch() override;
};

}  // namespace velm
