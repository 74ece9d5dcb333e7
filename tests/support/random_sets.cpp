#include "support/random_sets.h"

#include "optimizer/gene_map.h"

namespace velm::testing {

std::optional<ParameterSet> RandomValidSet(std::mt19937_64& random) {
  const auto draw = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  ParameterSet p;
  p.Impervious = draw(0, 0.5);
  p.MAX_SoilMoisture = draw(20, 300);
  p.Final_Infiltration = draw(0.2, 5);
  p.Coeff_Reduction = draw(0.05, 1);
  p.F18_SoilMoisture = p.MAX_SoilMoisture * draw(0.2, 0.9);
  p.MAX_EvapoRatio = draw(0.3, 1);
  p.Coeff_EvapoModel = draw(1, 20);
  p.CoeffSurfaceTopTank = draw(0.1, 0.9);
  p.HighSurfaceTopTank = draw(1, 30);
  p.CoeffSurfaceBotomTank = p.CoeffSurfaceTopTank * draw(0.1, 1);
  p.TankCount = std::uniform_int_distribution<int>(0, 4)(random);
  p.CoeffTank.assign(p.TankCount + 1, 0.0);
  p.BotomTank.assign(p.TankCount + 1, 0.0);
  double coeff = p.CoeffSurfaceBotomTank, bottom = p.Final_Infiltration;
  for (int j = 1; j <= p.TankCount; ++j) {
    p.CoeffTank[j] = coeff = coeff * draw(0.05, 1);
    p.BotomTank[j] = bottom = bottom * draw(0, 1);
  }
  if (ComputeDerivedValues(p) != DerivationProblem::kNone ||
      !MeetsOrderRules(p)) {
    return std::nullopt;
  }
  return p;
}

}  // namespace velm::testing
