#include "optimizer/gene_map.h"

#include "common/number_format.h"

namespace velm {
namespace {

// The scalar parameters in the order ApplyGenes scales them.
constexpr std::array<double ParameterSet::*, 11> kScalars{
    &ParameterSet::Impervious,          &ParameterSet::MAX_Infiltration,
    &ParameterSet::Final_Infiltration,  &ParameterSet::Coeff_Reduction,
    &ParameterSet::F18_Infiltration,    &ParameterSet::MAX_EvapoRatio,
    &ParameterSet::Coeff_EvapoModel,    &ParameterSet::CoeffSurfaceTopTank,
    &ParameterSet::HighSurfaceTopTank,  &ParameterSet::CoeffSurfaceBotomTank,
    &ParameterSet::HighSurfaceBotomTank};
constexpr std::array<const char*, 11> kScalarNames{
    "Impervious",          "MAX_Infiltration",
    "Final_Infiltration",  "Coeff_Reduction",
    "F18_Infiltration",    "MAX_EvapoRatio",
    "Coeff_EvapoModel",    "CoeffSurfaceTopTank",
    "HighSurfaceTopTank",  "CoeffSurfaceBotomTank",
    "HighSurfaceBotomTank"};

int IndexAt(const std::vector<int>& indices, int tank) {
  const auto at = static_cast<std::size_t>(tank) - 1;
  return at < indices.size() ? indices[at] : 0;
}

void Scale(double& value, int index, const Genes& x) {
  // The control-file reader admits only indices of existing genes.
  if (index > 0 && index < kSlotCount) value = x[index] * value;
}

std::string TankName(const char* name, int tank) {
  return std::string(name) + "[" + std::to_string(tank) + "]";
}

// Calls rule(leftName, left, strict, rightName, right) for every rule, the
// names made only when asked for.
template <typename Visit>
void VisitOrderRules(const ParameterSet& p, Visit&& rule) {
  const int n = p.TankCount;
  rule([] { return std::string("F18_Infiltration"); }, p.F18_Infiltration, true,
       [] { return std::string("Final_Infiltration"); }, p.Final_Infiltration);
  rule([] { return std::string("CoeffSurfaceTopTank"); }, p.CoeffSurfaceTopTank,
       false, [] { return std::string("CoeffSurfaceBotomTank"); },
       p.CoeffSurfaceBotomTank);
  if (n >= 1) {
    rule([] { return std::string("CoeffSurfaceBotomTank"); },
         p.CoeffSurfaceBotomTank, false,
         [] { return TankName("CoeffTank", 1); }, p.CoeffTank[1]);
    rule([] { return std::string("Final_Infiltration"); }, p.Final_Infiltration,
         false, [n] { return TankName("BotomTank", n); }, p.BotomTank[n]);
  }
  for (int j = 1; j < n; ++j) {
    rule([j] { return TankName("CoeffTank", j); }, p.CoeffTank[j], false,
         [j] { return TankName("CoeffTank", j + 1); }, p.CoeffTank[j + 1]);
    rule([j] { return TankName("BotomTank", j); }, p.BotomTank[j], false,
         [j] { return TankName("BotomTank", j + 1); }, p.BotomTank[j + 1]);
  }
}

// Six digits, or as many as it takes to tell the two values apart.
std::pair<std::string, std::string> Distinct(double a, double b) {
  std::string left = FormatNumber(a), right = FormatNumber(b);
  if (left == right && a != b) {
    left = FormatPrintf("%.17g", a);
    right = FormatPrintf("%.17g", b);
  }
  return {left, right};
}

}  // namespace

GeneMap::GeneMap(const RunSettings& s)
    : variableCount_(s.VariableCount),
      scalarIndices_{
          s.OptIndex_Impervious,          s.OptIndex_MAX_Infiltration,
          s.OptIndex_Final_Infiltration,  s.OptIndex_Coeff_Reduction,
          s.OptIndex_F18_Infiltration,    s.OptIndex_MAX_EvapoRatio,
          s.OptIndex_Coeff_EvapoModel,    s.OptIndex_CoeffSurfaceTopTank,
          s.OptIndex_HighSurfaceTopTank,  s.OptIndex_CoeffSurfaceBotomTank,
          s.OptIndex_HighSurfaceBotomTank},
      coeffTankIndices_(s.OptIndex_CoeffTank),
      botomTankIndices_(s.OptIndex_BotomTank) {}

void GeneMap::Apply(ParameterSet& p, const Genes& x) const {
  for (std::size_t i = 0; i < kScalars.size(); ++i) {
    Scale(p.*kScalars[i], scalarIndices_[i], x);
  }
  for (int i = 1; i <= p.TankCount; ++i) {
    Scale(p.CoeffTank[i], IndexAt(coeffTankIndices_, i), x);
    Scale(p.BotomTank[i], IndexAt(botomTankIndices_, i), x);
  }
}

std::vector<ScaledParameter> GeneMap::Parameters(int tankCount) const {
  std::vector<ScaledParameter> parameters;
  for (std::size_t i = 0; i < kScalars.size(); ++i) {
    parameters.push_back({kScalarNames[i], scalarIndices_[i]});
  }
  for (int i = 1; i <= tankCount; ++i) {
    parameters.push_back(
        {TankName("CoeffTank", i), IndexAt(coeffTankIndices_, i)});
    parameters.push_back(
        {TankName("BotomTank", i), IndexAt(botomTankIndices_, i)});
  }
  return parameters;
}

std::pair<std::string, std::string> OrderRule::Values() const {
  return Distinct(Left, Right);
}

std::string OrderRule::Describe() const {
  const auto [left, right] = Values();
  return LeftName + " " + left + (Strict ? " <= " : " < ") + RightName + " " +
         right;
}

std::vector<OrderRule> OrderRules(const ParameterSet& p) {
  std::vector<OrderRule> rules;
  VisitOrderRules(p, [&](auto leftName, double left, bool strict,
                         auto rightName, double right) {
    rules.push_back({leftName(), left, strict, rightName(), right});
  });
  return rules;
}

bool MeetsOrderRules(const ParameterSet& p) {
  bool holds = true;
  VisitOrderRules(p, [&](auto, double left, bool strict, auto, double right) {
    holds = holds && (strict ? left > right : left >= right);
  });
  return holds;
}

double ConstraintPenalty(const ParameterSet& p) {
  return MeetsOrderRules(p) ? 0.0 : kConstraintPenalty;
}

}  // namespace velm
