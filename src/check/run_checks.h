#pragma once

// The run the directory asks for: its shape, the catchment area against the
// water balance, a calibration's bounds, and the result file.

#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

// Hours, days, fit days, run mode and output as notes; a catchment area or
// observed runoff that leaves no day to compare, and a runoff ratio above 1
// or below 0.01; a calibration without genes and the bounds check; a result
// file that cannot be written or would replace an input.
void CheckRun(const Catchment& catchment, std::vector<Finding>& findings);

}  // namespace velm::check
