#include "optimizer/objective_batch.h"

#include <omp.h>

#include <exception>
#include <iostream>
#include <sstream>
#include <unordered_map>

#include "model/runoff_model.h"
#include "results/objective.h"

namespace velm {

void ObjectiveBatch::EvaluateAll(std::span<const Slots* const> genes,
                                 std::span<double> f, int outputFlag) {
  for (std::size_t i = 0; i < genes.size(); ++i) {
    f[i] = Evaluate(*genes[i], outputFlag);
  }
}

class ModelObjective::Batch final : public ObjectiveBatch {
 public:
  explicit Batch(ModelObjective& owner) : owner_(owner) {}

  double Evaluate(const Slots& x, int outputFlag) override {
    const Slots* genes[] = {&x};
    double f = 0.0;
    EvaluateAll(genes, std::span<double>(&f, 1), outputFlag);
    return f;
  }

  void EvaluateAll(std::span<const Slots* const> genes, std::span<double> f,
                   int outputFlag) override;

 private:
  using Key = EvaluationCache::Key;
  // A gene vector of the batch that the cache does not hold: evaluated once,
  // however often it comes up in the batch.
  struct NewGenes {
    Key key;
    const Slots* x;
    EvaluationCache::Entry result;
    std::exception_ptr error;
  };

  void EvaluateNew(std::vector<NewGenes>& fresh, int outputFlag);

  ModelObjective& owner_;
};

void ModelObjective::Batch::EvaluateAll(std::span<const Slots* const> genes,
                                        std::span<double> f, int outputFlag) {
  const int variableCount = owner_.inputs_->Settings().VariableCount;
  // Each request is answered by the cache (index -1) or by entry `source` of
  // the batch's new gene vectors.
  std::vector<NewGenes> fresh;
  std::unordered_map<Key, std::size_t, EvaluationCache::KeyHash> freshIndex;
  std::vector<std::ptrdiff_t> source(genes.size(), -1);
  std::vector<const EvaluationCache::Entry*> cached(genes.size(), nullptr);
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const Key key =
        EvaluationCache::KeyOf(*genes[i], variableCount, outputFlag);
    cached[i] = owner_.cache_.Find(key);
    if (cached[i]) continue;
    const auto [at, added] = freshIndex.emplace(key, fresh.size());
    if (added) fresh.push_back({key, genes[i], {}, nullptr});
    source[i] = static_cast<std::ptrdiff_t>(at->second);
  }
  EvaluateNew(fresh, outputFlag);

  // In request order, as one thread would have done it: the first failure
  // ends the run, reports are printed, new results are kept.
  std::vector<bool> kept(fresh.size(), false);
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const EvaluationCache::Entry* entry = cached[i];
    if (!entry) {
      NewGenes& computed = fresh[static_cast<std::size_t>(source[i])];
      if (computed.error) std::rethrow_exception(computed.error);
      entry = &computed.result;
    }
    f[i] = entry->f;
    if (!entry->Report.empty()) std::cout << entry->Report << std::flush;
    ++owner_.counts_.Evaluations;
  }
  for (NewGenes& computed : fresh) {
    owner_.cache_.Insert(computed.key, std::move(computed.result));
  }
}

void ModelObjective::Batch::EvaluateNew(std::vector<NewGenes>& fresh,
                                        int outputFlag) {
  if (fresh.empty()) return;
  // Read the observed runoff here, at the point where one thread would first
  // have read it, so that a bad file is reported there; inside the parallel
  // part nothing is read.
  if (outputFlag != 2) {
    owner_.inputs_->Observed();
    owner_.counts_.Simulations += static_cast<long>(fresh.size());
  }
  auto& models = owner_.models_;
  const auto count = static_cast<std::ptrdiff_t>(fresh.size());
#pragma omp parallel for schedule(dynamic) if (count > 1)
  for (std::ptrdiff_t n = 0; n < count; ++n) {
    NewGenes& item = fresh[static_cast<std::size_t>(n)];
    try {
      RunoffModel& model =
          *models[static_cast<std::size_t>(omp_get_thread_num())];
      if (outputFlag == 2) {
        item.result.f = PenaltyOfGenes(model, *item.x);
      } else {
        std::ostringstream report;
        item.result.f = EvaluateObjective(model, *item.x, outputFlag,
                                          FitReportFile::kSkip, report);
        item.result.Report = std::move(report).str();
      }
    } catch (...) {
      item.error = std::current_exception();
    }
  }
}

ModelObjective::ModelObjective(std::shared_ptr<RunInputs> inputs)
    : inputs_(std::move(inputs)) {}

ModelObjective::~ModelObjective() = default;

std::unique_ptr<ObjectiveBatch> ModelObjective::StartBatch() {
  // The models are built at the first batch, where one was always built (it
  // asks for every input file but the observed runoff).
  if (models_.empty()) {
    const int threads = omp_get_max_threads();
    for (int t = 0; t < (threads > 0 ? threads : 1); ++t) {
      models_.push_back(std::make_unique<RunoffModel>(inputs_));
    }
  }
  return std::make_unique<Batch>(*this);
}

}  // namespace velm
