#pragma once

// The two parameter reports of a calibration's result file: the parameters as
// the parameter file gives them, and the same values scaled by the best genes.

#include "common/text_writer.h"
#include "model/parameter_set.h"

namespace velm {

void WriteInitialParameters(TextWriter& file, const ParameterSet& parameters);

// `scaled`: the parameter file's values with the best genes applied. A line
// of asterisks closes the report.
void WriteOptimizedParameters(TextWriter& file, const ParameterSet& scaled);

}  // namespace velm
