#pragma once

// A catchment's settings, the control file's values, as a mapping by name.

#include <pybind11/pybind11.h>

#include "input/run_settings.h"

namespace velm::python {

namespace py = pybind11;

// Every value of the control file under the name velm gives it: CatchmentArea,
// RunMode, ..., VariableCount, then OptIndex_Impervious, ...,
// OptIndex_CoeffTank and OptIndex_BotomTank as lists.
py::dict SettingsDict(const RunSettings& settings);

// `settings` with `changes` applied, held to the control file's rules
// (ValueError otherwise); TypeError for a name the settings do not have.
RunSettings ChangedSettings(RunSettings settings, const py::dict& changes);

}  // namespace velm::python
