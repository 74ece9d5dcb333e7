#pragma once

// The model's parameters under their printed names, and the values derived
// from them: the infiltration capacities at field capacity and at its highest,
// and the tanks' initial depths.

#include <string_view>
#include <vector>

namespace velm {

struct ParameterSet {
  // The cascade's working storage grows with the tank count; beyond this a
  // parameter set is taken to be a mistake.
  static constexpr int kMaxTankCount = 1000;

  double Impervious = 0.0;
  double MAX_SoilMoisture = 0.0;
  double Final_Infiltration = 0.0;
  double Coeff_Reduction = 0.0;
  // A depth: the parameter file gives it as a fraction of MAX_SoilMoisture.
  double F18_SoilMoisture = 0.0;
  double MAX_EvapoRatio = 0.0;
  double Coeff_EvapoModel = 0.0;
  double CoeffSurfaceTopTank = 0.0;
  double HighSurfaceTopTank = 0.0;
  double CoeffSurfaceBotomTank = 0.0;
  double HighSurfaceBotomTank = 0.0;
  int TankCount = 0;
  // Tanks are numbered from 1; entry 0 of CoeffTank and BotomTank is unused,
  // entry 0 of TankWaterDepth is the surface tank.
  std::vector<double> CoeffTank;
  std::vector<double> BotomTank;
  std::vector<double> TankWaterDepth;
  double ImperviousTankWD = 0.0;
  double F18_Infiltration = 0.0;
  double MAX_Infiltration = 0.0;
};

// Why the derived values could not be computed.
enum class DerivationProblem {
  kNone,
  // No x on Horton's curve meets the search's condition: the soil values
  // (MAX_SoilMoisture, Final_Infiltration, Coeff_Reduction, F18_SoilMoisture)
  // do not fit together.
  kNoMaxInfiltration,
  // Impervious 1 with tanks: the initial depths would divide by 0.
  kImperviousIsOne,
};

// The problem in English, for the Python module and velm-check.
std::string_view Explain(DerivationProblem problem);

// F18_Infiltration and MAX_Infiltration from the soil values.
DerivationProblem DeriveInfiltration(ParameterSet& parameters);
// The initial depths: the last two tanks start full enough that their first
// side outflows add 0.1 and 0.05 per step to the runoff (with one tank only
// the last applies); the surface tank, the other tanks and the impervious
// store start empty.
DerivationProblem SetInitialTankDepths(ParameterSet& parameters);
// Both, as reading a parameter file does; to be called again after the
// values they come from have changed.
DerivationProblem ComputeDerivedValues(ParameterSet& parameters);

}  // namespace velm
