#include "results/objective.h"

namespace velm {

void ApplyGenes(ParameterSet&, const RunSettings&, const Genes&) {}

double ConstraintPenalty(const ParameterSet&) { return 0.0; }

double EvaluateObjective(RunoffModel&, const Genes&, int, FitReportFile) {
  return 0.0;
}

double ComputeFit(RunoffModel&, int, FitReportFile) { return 0.0; }

void SumDaily(std::span<const double>, std::span<double>) {}

}  // namespace velm
