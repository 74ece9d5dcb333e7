#pragma once

// Whether a calibration's bounds can work: in a calibration the parameter
// file's values are upper bounds that genes in [0, 1] scale, and the search
// only finds valid sets where the gene box holds some. Estimated from draws
// of a generator of its own, so the search's random numbers are untouched.

#include <string>
#include <vector>

#include "model/parameter_set.h"
#include "optimizer/gene_map.h"

namespace velm {

struct BoundsCheck {
  static constexpr int kDraws = 10000;
  // Below this share of valid draws the search mostly scores penalties.
  static constexpr double kLowShare = 0.05;

  struct RuleFailures {
    std::string Rule;        // "CoeffSurfaceBotomTank >= CoeffTank[1]"
    int Count = 0;           // draws that break it
    std::vector<int> Genes;  // the genes that scale either side
  };

  int ValidDraws = 0;
  double Share() const { return static_cast<double>(ValidDraws) / kDraws; }
  // Most broken first.
  std::vector<RuleFailures> Failures;
  // Genes 1..VariableCount that no parameter's index names.
  std::vector<int> UnusedGenes;
  // Calibrated parameters whose scaled value a parameter file cannot carry,
  // and why.
  struct NotCarried {
    ScaledParameter Parameter;
    const char* Reason;
  };
  std::vector<NotCarried> NotCarriedThrough;
  // Rules that no gene scales either side of and that the parameter file's
  // values break: every gene vector breaks them, whatever the bounds.
  std::vector<OrderRule> FixedBreaks;
};

// The share of the gene box [0, 1]^n in which the file's values scaled by
// the genes keep the ordering rules, from kDraws draws of a fixed seed.
BoundsCheck CheckBounds(const ParameterSet& fileParameters, const GeneMap& map);

// The findings as English sentences, for the program's warnings and the
// checker; a low share gives one sentence naming the rules broken most,
// unless a rule that no gene scales is broken, which no bounds can mend.
std::vector<std::string> BoundsWarnings(const BoundsCheck& check,
                                        int variableCount);
// Each kind of finding on its own.
std::string LowShareWarning(const BoundsCheck& check, int variableCount);
std::string UnusedGeneWarning(int gene);
std::string NotCarriedWarning(const BoundsCheck::NotCarried& notCarried);
std::string FixedBreakWarning(const OrderRule& rule);

}  // namespace velm

namespace velm {

// Why the result of a calibration is not a valid parameter set, one English
// sentence each: a gene outside [0, 1] (a non-finite one said to come from
// the search's arithmetic, not the bounds), an ordering rule the scaled
// parameters break (with the two values), why the search settled outside
// [0, 1] (naming the rules the bounds break most), a NaN f. Empty when it is
// valid. Judged by these, never by the size of f, which can be large on
// valid sets.
std::vector<std::string> ResultProblems(const Genes& x, double f,
                                        const ParameterSet& fileParameters,
                                        const GeneMap& map);
// The same for a result whose gene map is unknown (velm-report without the
// control file): `scaled` is the set that genes X[1] .. X[variableCount]
// made, and nothing is said of why a search settled outside [0, 1].
std::vector<std::string> ResultProblems(const Genes& x, int variableCount,
                                        double f, const ParameterSet& scaled);

// A gene is a multiplier from 0 to 1; a NaN is none.
inline bool IsValidGene(double gene) { return gene >= 0 && gene <= 1; }

}  // namespace velm
