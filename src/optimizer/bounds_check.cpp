#include "optimizer/bounds_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string_view>

#include "common/number_format.h"
#include "optimizer/operators.h"

namespace velm {
namespace {

// A fixed seed: the same estimate on every run and platform.
constexpr std::uint64_t kSeed = 20261207;

// A uniform draw in [0, 1) from the top 53 bits, which unlike the standard
// distributions gives the same numbers with every standard library.
double UnitDraw(std::mt19937_64& random) {
  return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

std::string RuleText(const OrderRule& rule) {
  return rule.LeftName() + (rule.Strict ? " > " : " >= ") + rule.RightName();
}

std::vector<int> GenesOf(const std::vector<ScaledParameter>& scaled,
                         const OrderRule& rule) {
  std::vector<int> genes;
  for (const ScaledParameter& p : scaled) {
    if (p.Gene != 0 &&
        (p.Parameter == rule.LeftParameter ||
         p.Parameter == rule.RightParameter) &&
        std::find(genes.begin(), genes.end(), p.Gene) == genes.end()) {
      genes.push_back(p.Gene);
    }
  }
  std::sort(genes.begin(), genes.end());
  return genes;
}

const char* NotCarriedReason(const ParameterRef& p, int tankCount) {
  switch (p.Row->Scaled) {
    case ScaledValue::kDerived:
      return "velm derives it from the soil values when it reads a parameter "
             "file";
    case ScaledValue::kDerivesOthers:
      return "F18_Infiltration and MAX_Infiltration are derived from it when "
             "a parameter file is read, but a calibration does not derive "
             "them again from the scaled value";
    case ScaledValue::kSetsDepths:
      // Of a tank list, the last two tanks' values set the depths.
      if (p.Row->Tanks != nullptr && p.Tank < tankCount - 1) return nullptr;
      return "it sets the initial tank depths when a parameter file is read, "
             "but a calibration keeps the depths of the unscaled value";
    default:
      return nullptr;
  }
}

std::string GeneList(const std::vector<int>& genes) {
  std::string out;
  for (const int gene : genes) {
    out += (out.empty() ? "X[" : ", X[") + std::to_string(gene) + "]";
  }
  return out.empty() ? "no gene" : out;
}

std::string Percent(double share) {
  return FormatPrintf("%.2f", 100 * share) + " %";
}

std::string GeneBox(int variableCount) {
  return "the gene box [0, 1]^" + std::to_string(variableCount);
}

// "R (89 % of draws; X[6]); ...": the rules broken most, at most three.
std::string BrokenMost(const BoundsCheck& check) {
  std::string text = "broken most:";
  for (std::size_t i = 0; i < check.Failures.size() && i < 3; ++i) {
    const BoundsCheck::RuleFailures& f = check.Failures[i];
    text += (i == 0 ? " " : "; ") + f.Rule + " (" +
            FormatPrintf("%.0f", 100.0 * f.Count / BoundsCheck::kDraws) +
            " % of draws; " + GeneList(f.Genes) + ")";
  }
  return text;
}

}  // namespace

BoundsCheck CheckBounds(const ParameterSet& fileParameters,
                        const GeneMap& map) {
  BoundsCheck check;
  const int n = map.VariableCount();
  const std::vector<ScaledParameter> scaled =
      map.Parameters(fileParameters.TankCount);
  std::mt19937_64 random(kSeed);
  std::map<std::string, BoundsCheck::RuleFailures> failures;
  ParameterSet p = fileParameters;
  for (int draw = 0; draw < BoundsCheck::kDraws; ++draw) {
    Genes x{};
    for (int k = 1; k <= n && k < kSlotCount; ++k) x[k] = UnitDraw(random);
    p = fileParameters;
    map.Apply(p, x);
    if (MeetsOrderRules(p)) {
      ++check.ValidDraws;
      continue;
    }
    for (const OrderRule& rule : OrderRules(p)) {
      if (rule.Holds()) continue;
      BoundsCheck::RuleFailures& f = failures[RuleText(rule)];
      if (f.Count++ == 0) {
        f.Rule = RuleText(rule);
        f.Genes = GenesOf(scaled, rule);
      }
    }
  }
  for (auto& [text, f] : failures) check.Failures.push_back(std::move(f));
  std::stable_sort(
      check.Failures.begin(), check.Failures.end(),
      [](const auto& a, const auto& b) { return a.Count > b.Count; });

  for (int gene = 1; gene <= n; ++gene) {
    if (std::none_of(
            scaled.begin(), scaled.end(),
            [&](const ScaledParameter& s) { return s.Gene == gene; })) {
      check.UnusedGenes.push_back(gene);
    }
  }
  for (const ScaledParameter& s : scaled) {
    const char* reason =
        NotCarriedReason(s.Parameter, fileParameters.TankCount);
    if (s.Gene != 0 && reason != nullptr) {
      check.NotCarriedThrough.push_back({s, reason});
    }
  }
  for (OrderRule& rule : OrderRules(fileParameters)) {
    if (!rule.Holds() && GenesOf(scaled, rule).empty()) {
      check.FixedBreaks.push_back(std::move(rule));
    }
  }
  return check;
}

std::string LowShareWarning(const BoundsCheck& check, int variableCount) {
  return "only " + Percent(check.Share()) + " of " + GeneBox(variableCount) +
         " keeps the parameter-order rules, so the search will mostly score "
         "penalties; " +
         BrokenMost(check) +
         ". The parameter file's values are the upper bounds of a "
         "calibration: choose them so that the rules hold for most genes "
         "(README, Calibration)";
}

std::string UnusedGeneWarning(int gene) {
  return "gene X[" + std::to_string(gene) +
         "] scales nothing: no index in the control file is " +
         std::to_string(gene);
}

std::string NotCarriedWarning(const BoundsCheck::NotCarried& n) {
  return "gene X[" + std::to_string(n.Parameter.Gene) + "] scales " +
         n.Parameter.Parameter.Name() +
         ", which a parameter file cannot carry: " + n.Reason +
         " (README, Calibration)";
}

std::string FixedBreakWarning(const OrderRule& rule) {
  const auto [left, right] = rule.Values();
  return RuleText(rule) + " cannot hold: neither side is calibrated, and the " +
         "parameter file gives " + rule.LeftName() + " " + left + " and " +
         rule.RightName() + " " + right +
         ": every parameter set of the search breaks the rule, so the "
         "calibration cannot end on a valid one";
}

std::vector<std::string> BoundsWarnings(const BoundsCheck& check,
                                        int variableCount) {
  std::vector<std::string> warnings;
  for (const OrderRule& rule : check.FixedBreaks) {
    warnings.push_back(FixedBreakWarning(rule));
  }
  if (check.FixedBreaks.empty() && check.Share() < BoundsCheck::kLowShare) {
    warnings.push_back(LowShareWarning(check, variableCount));
  }
  for (const int gene : check.UnusedGenes) {
    warnings.push_back(UnusedGeneWarning(gene));
  }
  for (const BoundsCheck::NotCarried& n : check.NotCarriedThrough) {
    warnings.push_back(NotCarriedWarning(n));
  }
  return warnings;
}

}  // namespace velm

namespace velm {

namespace {

std::string GeneProblem(int k, double gene) {
  const std::string text =
      "gene X[" + std::to_string(k) + "] = " + FormatNumber(gene);
  if (std::isfinite(gene)) return text + " is outside [0, 1]";
  return text +
         " is not a finite number: the search's own arithmetic made it (a "
         "mutation's normal draw is infinite when its random number is 0), "
         "not the bounds, and no bounds can prevent it";
}

// Why a search ends on genes outside [0, 1]: they cost less than what it
// scored inside, which is mostly a broken rule's penalty.
std::string OutsideReason(const BoundsCheck& check, int variableCount) {
  const std::string text =
      "the search settled on genes outside [0, 1], which cost " +
      FormatNumber(kChildBelowZeroPenalty) + " or " +
      FormatNumber(kChildAboveOnePenalty) +
      " without a simulation, because every gene vector inside [0, 1] that it "
      "scored did worse: ";
  if (!check.FixedBreaks.empty()) {
    return text + FixedBreakWarning(check.FixedBreaks.front());
  }
  if (check.Failures.empty()) {
    return text +
           "no ordering rule breaks inside these bounds, so their f itself "
           "was larger";
  }
  const std::string rules =
      check.Share() < BoundsCheck::kLowShare
          ? "these bounds cannot keep the ordering rules, which only " +
                Percent(check.Share()) + " of " + GeneBox(variableCount) +
                " keeps"
          : Percent(1 - check.Share()) + " of " + GeneBox(variableCount) +
                " breaks an ordering rule";
  return text + rules + ", and a broken rule adds " +
         FormatNumber(kConstraintPenalty) + "; " + BrokenMost(check);
}

std::vector<std::string> GeneProblems(const Genes& x, int variableCount) {
  std::vector<std::string> problems;
  for (int k = 1; k <= variableCount && k < kSlotCount; ++k) {
    if (!IsValidGene(x[k])) problems.push_back(GeneProblem(k, x[k]));
  }
  return problems;
}

void AddRuleProblems(const ParameterSet& scaled,
                     std::vector<std::string>& problems) {
  for (const OrderRule& rule : OrderRules(scaled)) {
    if (!rule.Holds()) problems.push_back(rule.Describe());
  }
}

void AddFProblem(double f, std::vector<std::string>& problems) {
  if (std::isnan(f)) problems.push_back("the final f is not a number");
}

}  // namespace

std::vector<std::string> ResultProblems(const Genes& x, double f,
                                        const ParameterSet& fileParameters,
                                        const GeneMap& map) {
  const int variableCount = map.VariableCount();
  std::vector<std::string> problems = GeneProblems(x, variableCount);
  const bool outside = !problems.empty();
  ParameterSet scaled = fileParameters;
  map.Apply(scaled, x);
  AddRuleProblems(scaled, problems);
  if (outside) {
    problems.push_back(
        OutsideReason(CheckBounds(fileParameters, map), variableCount));
  }
  AddFProblem(f, problems);
  return problems;
}

std::vector<std::string> ResultProblems(const Genes& x, int variableCount,
                                        double f, const ParameterSet& scaled) {
  std::vector<std::string> problems = GeneProblems(x, variableCount);
  AddRuleProblems(scaled, problems);
  AddFProblem(f, problems);
  return problems;
}

}  // namespace velm
