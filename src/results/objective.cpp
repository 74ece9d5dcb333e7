#include "results/objective.h"

#include <iostream>

namespace velm {
namespace {

void Scale(double& value, int index, const Genes& x) {
  // The control-file reader admits only indices of existing genes.
  if (index > 0 && static_cast<std::size_t>(index) < x.size()) {
    value = x[static_cast<std::size_t>(index)] * value;
  }
}

// Each rule holds only for ordered values: written as "not (a ≥ b)" a NaN
// operand breaks it.
bool Breaks(double a, double atLeast) { return !(a >= atLeast); }

}  // namespace

void ApplyGenes(ParameterSet& p, const RunSettings& s, const Genes& x) {
  Scale(p.Impervious, s.OptIndex_Impervious, x);
  Scale(p.MAX_Infiltration, s.OptIndex_MAX_Infiltration, x);
  Scale(p.Final_Infiltration, s.OptIndex_Final_Infiltration, x);
  Scale(p.Coeff_Reduction, s.OptIndex_Coeff_Reduction, x);
  Scale(p.F18_Infiltration, s.OptIndex_F18_Infiltration, x);
  Scale(p.MAX_EvapoRatio, s.OptIndex_MAX_EvapoRatio, x);
  Scale(p.Coeff_EvapoModel, s.OptIndex_Coeff_EvapoModel, x);
  Scale(p.CoeffSurfaceTopTank, s.OptIndex_CoeffSurfaceTopTank, x);
  Scale(p.HighSurfaceTopTank, s.OptIndex_HighSurfaceTopTank, x);
  Scale(p.CoeffSurfaceBotomTank, s.OptIndex_CoeffSurfaceBotomTank, x);
  Scale(p.HighSurfaceBotomTank, s.OptIndex_HighSurfaceBotomTank, x);
  for (int i = 1; i <= p.TankCount; ++i) {
    Scale(p.CoeffTank[i], s.CoeffTankIndex(i), x);
    Scale(p.BotomTank[i], s.BotomTankIndex(i), x);
  }
}

double ConstraintPenalty(const ParameterSet& p) {
  const int n = p.TankCount;
  bool broken = !(p.F18_Infiltration > p.Final_Infiltration) ||
                Breaks(p.CoeffSurfaceTopTank, p.CoeffSurfaceBotomTank);
  // Without tanks there is no cascade for the surface tank to order against.
  if (n >= 1) {
    broken = broken || Breaks(p.CoeffSurfaceBotomTank, p.CoeffTank[1]) ||
             Breaks(p.Final_Infiltration, p.BotomTank[n]);
  }
  for (int j = 1; j < n; ++j) {
    broken = broken || Breaks(p.CoeffTank[j], p.CoeffTank[j + 1]) ||
             Breaks(p.BotomTank[j], p.BotomTank[j + 1]);
  }
  return broken ? kConstraintPenalty : 0.0;
}

double PenaltyOfGenes(const RunoffModel& model, const Genes& x) {
  ParameterSet parameters = model.FileParameters;
  ApplyGenes(parameters, model.Settings, x);
  return ConstraintPenalty(parameters);
}

double EvaluateObjective(RunoffModel& model, const Genes& x, int outputFlag,
                         FitReportFile file) {
  return EvaluateObjective(model, x, outputFlag, file, std::cout);
}

double EvaluateObjective(RunoffModel& model, const Genes& x, int outputFlag,
                         FitReportFile file, std::ostream& console) {
  model.Parameters = model.FileParameters;
  ApplyGenes(model.Parameters, model.Settings, x);
  const double penalty = ConstraintPenalty(model.Parameters);
  model.Simulate(1);
  if (outputFlag == 2) return penalty;
  return ComputeFit(model, outputFlag, file, console) + penalty;
}

}  // namespace velm
