#pragma once

// Random parameter sets for properties and comparisons over many sets.

#include <optional>
#include <random>

#include "model/parameter_set.h"

namespace velm::testing {

// A parameter set that the calibration accepts (its derived values computed,
// its ordering rules kept), with its initial depths as the parameter reader
// sets them; nothing when the drawn one is not valid.
std::optional<ParameterSet> RandomValidSet(std::mt19937_64& random);

}  // namespace velm::testing
