#pragma once

// The two parameter reports of a calibration's result file: the parameters as
// the parameter file gives them, and the same values scaled by the best genes.

#include <ostream>
#include <string_view>

#include "input/parameter_set.h"
#include "input/run_settings.h"
#include "optimizer/generation.h"

namespace velm {

// Reads `parameters` from the parameter file with its console echo, then
// writes the initial report to `file`.
void WriteInitialParameters(ParameterSet& parameters, std::ostream& file);

// Applies the genes to `parameters` (which keeps the scaled values), then
// writes the optimized report and a line of asterisks to `file`.
void WriteOptimizedParameters(ParameterSet& parameters,
                              const RunSettings& settings, const Slots& x,
                              std::ostream& file);

}  // namespace velm
