#include "model/parameter_set.h"

#include "model/horton_curve.h"

namespace velm {

std::string_view Explain(DerivationProblem problem) {
  switch (problem) {
    case DerivationProblem::kNoMaxInfiltration:
      return "no MAX_Infiltration can be derived from MAX_SoilMoisture, "
             "Final_Infiltration, Coeff_Reduction and F18_SoilMoisture: the "
             "soil values do not fit together";
    case DerivationProblem::kImperviousIsOne:
      return "Impervious 1 with tanks: the tanks' initial depths would "
             "divide by zero";
    default:
      return "";
  }
}

DerivationProblem DeriveInfiltration(ParameterSet& p) {
  p.F18_Infiltration = ComputeF18Infiltration(
      p.Final_Infiltration, p.Coeff_Reduction, p.MAX_SoilMoisture,
      p.F18_SoilMoisture);
  const auto maxInfiltration =
      SearchMaxInfiltration(p.Final_Infiltration, p.Coeff_Reduction,
                            p.MAX_SoilMoisture, p.F18_Infiltration);
  if (!maxInfiltration) return DerivationProblem::kNoMaxInfiltration;
  p.MAX_Infiltration = *maxInfiltration;
  return DerivationProblem::kNone;
}

DerivationProblem SetInitialTankDepths(ParameterSet& p) {
  const int n = p.TankCount;
  if (n >= 1 && p.Impervious == 1.0) return DerivationProblem::kImperviousIsOne;
  p.TankWaterDepth.assign(static_cast<std::size_t>(n) + 1, 0.0);
  if (n >= 2) {
    p.TankWaterDepth[n - 1] = 0.1 / p.CoeffTank[n - 1] / (1 - p.Impervious);
  }
  if (n >= 1) p.TankWaterDepth[n] = 0.05 / p.CoeffTank[n] / (1 - p.Impervious);
  p.ImperviousTankWD = 0.0;
  return DerivationProblem::kNone;
}

DerivationProblem ComputeDerivedValues(ParameterSet& p) {
  const DerivationProblem problem = DeriveInfiltration(p);
  if (problem != DerivationProblem::kNone) return problem;
  return SetInitialTankDepths(p);
}

}  // namespace velm
