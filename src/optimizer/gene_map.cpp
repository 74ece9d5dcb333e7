#include "optimizer/gene_map.h"

#include "common/number_format.h"

namespace velm {
namespace {

void Scale(double& value, int index, const Genes& x) {
  // The control-file reader admits only indices of existing genes.
  if (index > 0 && index < kSlotCount) value = x[index] * value;
}

constexpr const ParameterRow& kF18Infiltration =
    RowOf(&ParameterSet::F18_Infiltration);
constexpr const ParameterRow& kFinalInfiltration =
    RowOf(&ParameterSet::Final_Infiltration);
constexpr const ParameterRow& kCoeffSurfaceTop =
    RowOf(&ParameterSet::CoeffSurfaceTopTank);
constexpr const ParameterRow& kCoeffSurfaceBotom =
    RowOf(&ParameterSet::CoeffSurfaceBotomTank);
constexpr const ParameterRow& kCoeffTank = RowOf(&ParameterSet::CoeffTank);
constexpr const ParameterRow& kBotomTank = RowOf(&ParameterSet::BotomTank);

// Calls rule(left, leftValue, strict, right, rightValue) for every rule.
template <typename Visit>
void VisitOrderRules(const ParameterSet& p, Visit&& rule) {
  const int n = p.TankCount;
  rule(ParameterRef{&kF18Infiltration}, p.F18_Infiltration, true,
       ParameterRef{&kFinalInfiltration}, p.Final_Infiltration);
  rule(ParameterRef{&kCoeffSurfaceTop}, p.CoeffSurfaceTopTank, false,
       ParameterRef{&kCoeffSurfaceBotom}, p.CoeffSurfaceBotomTank);
  if (n >= 1) {
    rule(ParameterRef{&kCoeffSurfaceBotom}, p.CoeffSurfaceBotomTank, false,
         ParameterRef{&kCoeffTank, 1}, p.CoeffTank[1]);
    rule(ParameterRef{&kFinalInfiltration}, p.Final_Infiltration, false,
         ParameterRef{&kBotomTank, n}, p.BotomTank[n]);
  }
  for (int j = 1; j < n; ++j) {
    rule(ParameterRef{&kCoeffTank, j}, p.CoeffTank[j], false,
         ParameterRef{&kCoeffTank, j + 1}, p.CoeffTank[j + 1]);
    rule(ParameterRef{&kBotomTank, j}, p.BotomTank[j], false,
         ParameterRef{&kBotomTank, j + 1}, p.BotomTank[j + 1]);
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

GeneMap::GeneMap(int variableCount, GeneIndices indices)
    : variableCount_(variableCount), indices_(std::move(indices)) {}

void GeneMap::Apply(ParameterSet& p, const Genes& x) const {
  for (const ParameterRow* row : kScalableRows) {
    const std::size_t at = PositionOf(*row);
    if (row->Value != nullptr) {
      Scale(p.*(row->Value), indices_.Single[at], x);
      continue;
    }
    std::vector<double>& values = p.*(row->Tanks);
    const std::vector<int>& genes = indices_.Tanks[at];
    const std::size_t tanks =
        std::min(genes.size(), static_cast<std::size_t>(p.TankCount));
    for (std::size_t i = 1; i <= tanks; ++i) Scale(values[i], genes[i - 1], x);
  }
}

std::vector<ScaledParameter> GeneMap::Parameters(int tankCount) const {
  std::vector<ScaledParameter> parameters;
  for (const ParameterRow* row : kScalableRows) {
    if (row->Value != nullptr) {
      parameters.push_back({{row}, indices_.Single[PositionOf(*row)]});
    }
  }
  for (int i = 1; i <= tankCount; ++i) {
    for (const ParameterRow* row : kScalableRows) {
      if (row->Tanks == nullptr) continue;
      const ParameterRef tank{row, i};
      parameters.push_back({tank, indices_.Of(tank)});
    }
  }
  return parameters;
}

std::pair<std::string, std::string> OrderRule::Values() const {
  return Distinct(Left, Right);
}

std::string OrderRule::Describe() const {
  const auto [left, right] = Values();
  return LeftName() + " " + left + (Strict ? " <= " : " < ") + RightName() +
         " " + right;
}

std::vector<OrderRule> OrderRules(const ParameterSet& p) {
  std::vector<OrderRule> rules;
  VisitOrderRules(p, [&](ParameterRef leftParameter, double left, bool strict,
                         ParameterRef rightParameter, double right) {
    rules.push_back({leftParameter, left, strict, rightParameter, right});
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
