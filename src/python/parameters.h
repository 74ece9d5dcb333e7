#pragma once

// velm.Parameters: a parameter set as a read-only mapping by the printed
// names, and the parameter file a set is written to.

#include <pybind11/pybind11.h>

#include "model/parameter_set.h"

namespace velm::python {

namespace py = pybind11;

// A velm.Parameters as it is, or a mapping of names, the missing ones 0 as
// in an empty parameter file; a mapping's derived values, if it gives them,
// must be the ones computed.
ParameterSet ParametersFrom(py::handle value);

void BindParameters(py::module_& m);

}  // namespace velm::python
