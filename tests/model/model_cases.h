#pragma once

// Models for tests of the hourly routines and the simulation loop, built in
// case directories that the tests write themselves.

#include <memory>

#include "model/runoff_model.h"
#include "support/case_dir.h"

namespace velm::testing {

// Writes a case of `hours` dry hours without evaporation into `dir` and
// builds a model there; tests set Rain and PotentialE as they need them.
// Evaporation needs whole days, so a case of less than a day has none.
std::unique_ptr<RunoffModel> BuildModel(const CaseDir& dir, int hours,
                                        const ParameterValues& parameters = {},
                                        const ControlValues& control = {});

// A model whose parameters are those of the worked example of the routines:
// fc = 1, k = 0.5, f18 = 3, fmax = 10, Smax = 50, S18 = 25, Emax = 0.8,
// ce = 10.
std::unique_ptr<RunoffModel> WorkedExampleModel();

}  // namespace velm::testing
