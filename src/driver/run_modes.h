#pragma once

// The two things velm does with a catchment directory: read, call the run
// service, write.

#include <ostream>

#include "input/run_inputs.h"
#include "optimizer/random_source.h"
#include "run/calibration.h"
#include "run/catchment_data.h"

namespace velm {

// One simulation with the parameter file's values: the parameter echo, and
// with output flag 1 the summary and the result file.
int RunSimulation(const CatchmentData& data, RunInputs& inputs,
                  std::ostream& console, std::ostream& errors);

// A calibration: the search, its progress, the best parameter set and its
// simulation in the result file. Warns on `errors` when the bounds cannot
// work, and says there why a result is not a valid parameter set. What it
// found goes to `found` when given.
int RunCalibration(const CatchmentData& data, RunInputs& inputs, Clock clock,
                   std::ostream& console, std::ostream& errors,
                   CalibrationOutcome* found = nullptr);

}  // namespace velm
