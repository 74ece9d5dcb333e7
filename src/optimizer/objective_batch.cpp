#include "optimizer/objective_batch.h"

#include "model/runoff_model.h"
#include "results/objective.h"

namespace velm {
namespace {

class ModelBatch final : public ObjectiveBatch {
 public:
  double Evaluate(const Slots& x, int outputFlag) override {
    return EvaluateObjective(model_, x, outputFlag, FitReportFile::kSkip);
  }

 private:
  RunoffModel model_;
};

}  // namespace

std::unique_ptr<ObjectiveBatch> ModelObjective::StartBatch() {
  return std::make_unique<ModelBatch>();
}

}  // namespace velm
