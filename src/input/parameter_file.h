#pragma once

// The parameter file: the model's parameters read strictly by line number,
// with the values derived from them computed as they are read; and the file
// written from a set, which reads back to the same set.

#include <cstddef>
#include <string>
#include <string_view>

#include "common/text_lines.h"
#include "input/input_error.h"
#include "model/parameter_set.h"
#include "model/parameter_table.h"

namespace velm {

// Refuses a tank count outside 0..1000, and soil or impervious values from
// which the derived values cannot be computed.
ParameterSet ParseParameterFile(const TextLines& lines);

// The single values of the file alone (F18_SoilMoisture as a depth), nothing
// derived: the values a derivation problem comes from.
ParameterSet ParseFileValues(const TextLines& lines);

// The line of the parameter file that gives a parameter; 0 for a value that
// is derived from others.
std::size_t ParameterLineOf(const ParameterRef& parameter);

// The lines a derivation problem is reported on, and the problem.
struct ProblemLines {
  LineRange Lines;
  InputProblem Problem;
};
ProblemLines LinesOf(DerivationProblem problem);

// The parameter file's text (CR LF line ends) with 17 significant digits,
// from which ParseParameterFile reads back exactly `parameters`. A set that
// no parameter file gives is refused with std::invalid_argument, in English,
// naming what would differ: one whose derived values are not the ones its
// values give (a calibrated set with scaled derived values), or that velm
// would refuse.
std::string ParameterFileText(const ParameterSet& parameters);

}  // namespace velm
