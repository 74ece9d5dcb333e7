#pragma once

// What the genes of a calibration mean: gene k multiplies every parameter
// whose optimization index is k, starting from the parameter file's values,
// which act as upper bounds; and the ordering rules every calibrated
// parameter set must keep.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "input/run_settings.h"
#include "model/parameter_set.h"
#include "model/parameter_table.h"

namespace velm {

// Slot k holds gene k (k from 1). Slot 0 holds no gene and stays 0.0: the
// recombination may read it as a partner gene, and then it must be a number.
inline constexpr int kSlotCount = RunSettings::kMaxVariableCount + 1;
using Genes = std::array<double, kSlotCount>;

// A parameter that genes can scale, and its gene (0: not calibrated).
struct ScaledParameter {
  ParameterRef Parameter;
  int Gene = 0;
};

class GeneMap {
 public:
  GeneMap(int variableCount, GeneIndices indices);

  int VariableCount() const { return variableCount_; }
  const GeneIndices& Indices() const { return indices_; }

  // ApplyGenes: every parameter whose optimization index k is not 0 becomes
  // X[k] times its value.
  void Apply(ParameterSet& parameters, const Genes& x) const;

  // Every parameter that can be scaled, in the order of the control file,
  // with its gene; the tanks for `tankCount` tanks.
  std::vector<ScaledParameter> Parameters(int tankCount) const;

 private:
  int variableCount_;
  GeneIndices indices_;
};

// One ordering rule on a parameter set: Left ≥ Right, or Left > Right when
// strict. A comparison with a NaN breaks it.
struct OrderRule {
  ParameterRef LeftParameter;
  double Left = 0.0;
  bool Strict = false;
  ParameterRef RightParameter;
  double Right = 0.0;

  bool Holds() const { return Strict ? Left > Right : Left >= Right; }
  std::string LeftName() const { return LeftParameter.Name(); }
  std::string RightName() const { return RightParameter.Name(); }
  // "CoeffSurfaceBotomTank 0.0064 < CoeffTank[1] 0.0071": the rule as it is
  // broken.
  std::string Describe() const;
  // The two values with six digits, or as many as it takes to tell them
  // apart.
  std::pair<std::string, std::string> Values() const;
};

// Every rule the parameters are held to: F18_Infiltration > Final_
// Infiltration, CoeffSurfaceTopTank ≥ CoeffSurfaceBotomTank ≥ CoeffTank[1],
// Final_Infiltration ≥ the last BotomTank, and each tank's CoeffTank and
// BotomTank at least the next tank's. Without tanks there is no cascade for
// the surface tank to order against.
std::vector<OrderRule> OrderRules(const ParameterSet& parameters);
bool MeetsOrderRules(const ParameterSet& parameters);

inline constexpr double kConstraintPenalty = 100000.0;
// 0, or kConstraintPenalty when a rule is broken.
double ConstraintPenalty(const ParameterSet& parameters);

}  // namespace velm
