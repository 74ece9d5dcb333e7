#pragma once

// velm.Parameters: a parameter set as a read-only mapping by the printed
// names, and the parameter file a set is written to.

#include <pybind11/pybind11.h>

#include <filesystem>
#include <string>

#include "model/parameter_set.h"

namespace velm::python {

namespace py = pybind11;

// The mapping's keys: the parameter file's values in its order, TankCount,
// the tank lists CoeffTank and BotomTank (tanks 1 to TankCount), then the
// derived F18_Infiltration and MAX_Infiltration.
py::list ParameterNames();
// A value by name: a float, TankCount an int, the tanks a list; KeyError for
// a name the set does not have.
py::object ParameterValue(const ParameterSet& parameters,
                          const std::string& name);

// A copy with `changes` applied and the derived values computed again, as
// reading a parameter file computes them. The derived values cannot be set;
// a set whose derived values cannot be computed is refused (ValueError).
ParameterSet ReplaceParameters(const ParameterSet& parameters,
                               const py::dict& changes);
// A velm.Parameters as it is, or a mapping of names, the missing ones 0 as
// in an empty parameter file; a mapping's derived values, if it gives them,
// must be the ones computed.
ParameterSet ParametersFrom(py::handle value);

// The parameter file (ParameterFileText) that velm reads back to exactly
// these values; a set that no parameter file gives is refused with
// ValueError naming what would differ.
void WriteParameterFile(const ParameterSet& parameters,
                        const std::filesystem::path& path);

}  // namespace velm::python
