#pragma once

// The parameter file a parameter set is written to, so that velm reads back
// exactly the same values.

#include <string>

#include "model/parameter_set.h"

namespace velm {

// The file's lines (CR LF ends) with 17 significant digits, F18_SoilMoisture
// as the fraction of MAX_SoilMoisture whose product is the depth exactly. A
// set that no parameter file gives (a calibrated set whose derived values or
// initial tank depths were scaled, a value that is not finite) is refused
// with std::invalid_argument, whose message names what would differ.
std::string ParameterFileText(const ParameterSet& parameters);

}  // namespace velm
