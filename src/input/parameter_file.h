#pragma once

// The parameter file: the model's parameters read strictly by line number,
// with the values derived from them computed as they are read.

#include <cstddef>
#include <string_view>

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

// The line of the parameter file that gives a parameter by its printed name
// ("Final_Infiltration", "CoeffTank[2]"); 0 for a value derived from others.
std::size_t ParameterLineOf(std::string_view name);

// The lines a derivation problem is reported on, and its message.
struct ProblemLines {
  const char* Lines;
  text::Cp932Text Problem;
};
ProblemLines LinesOf(DerivationProblem problem);

}  // namespace velm
