#pragma once

// The parameter file: the model's parameters read strictly by line number,
// with the values derived from them computed as they are read.

#include "common/text_lines.h"
#include "common/texts.h"
#include "model/parameter_set.h"

namespace velm {

// Refuses a tank count outside 0..1000, and soil or impervious values from
// which the derived values cannot be computed.
ParameterSet ParseParameterFile(const TextLines& lines);

// Lines 3 to 15 alone (Impervious to Coeff_EvapoModel, F18_SoilMoisture as a
// depth), nothing derived: the values a derivation problem comes from.
ParameterSet ParseMainParameters(const TextLines& lines);

// The lines a derivation problem is reported on, and its message.
struct ProblemLines {
  const char* Lines;
  text::Cp932Text Problem;
};
ProblemLines LinesOf(DerivationProblem problem);

}  // namespace velm
