#include "python/parameters.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <fstream>

#include "input/parameter_file.h"
#include "model/parameter_table.h"

namespace velm::python {
namespace {

using namespace pybind11::literals;

// The mapping's keys: the parameter file's values in its order, TankCount,
// the tank lists, then the derived F18_Infiltration and MAX_Infiltration.
bool IsKey(const ParameterRow& row) {
  return row.Kind != ParameterKind::kInitialDepth;
}

py::list Names() {
  py::list names;
  for (const ParameterRow& row : kParameters) {
    if (IsKey(row)) names.append(py::str(row.Name.data(), row.Name.size()));
  }
  return names;
}

const ParameterRow* KeyRow(const std::string& name) {
  const ParameterRow* row = FindParameter(name);
  return row != nullptr && IsKey(*row) && row->Name == name ? row : nullptr;
}

py::object Value(const ParameterSet& p, const std::string& name) {
  const ParameterRow* row = KeyRow(name);
  if (row == nullptr) throw py::key_error(name);
  return std::visit([](const auto& value) { return py::cast(value); },
                    ValueOf(p, *row));
}

NamedParameterValues Given(const py::dict& values) {
  NamedParameterValues given;
  for (const auto& [key, value] : values) {
    const auto name = key.cast<std::string>();
    const ParameterRow* row = KeyRow(name);
    if (row == nullptr) {
      throw py::type_error("velm.Parameters has no parameter '" + name +
                           "'; its names are " +
                           py::str(Names()).cast<std::string>());
    }
    given.emplace_back(row, row->Count != nullptr ? ParameterValue(value.cast<int>())
                            : row->Tanks != nullptr
                                ? ParameterValue(value.cast<std::vector<double>>())
                                : ParameterValue(value.cast<double>()));
  }
  return given;
}

py::list Items(const ParameterSet& p) {
  py::list items;
  for (py::handle name : Names()) {
    items.append(py::make_tuple(name, Value(p, name.cast<std::string>())));
  }
  return items;
}

py::dict ToDict(const ParameterSet& p) { return py::dict(Items(p)); }

void Write(const ParameterSet& parameters, const std::filesystem::path& path) {
  const std::string text = ParameterFileText(parameters);
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) {
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.string().c_str());
    throw py::error_already_set();
  }
}

}  // namespace

ParameterSet ParametersFrom(py::handle value) {
  if (py::isinstance<ParameterSet>(value)) return value.cast<ParameterSet>();
  if (!py::hasattr(value, "keys")) {
    throw py::type_error(
        "parameters must be a velm.Parameters or a mapping of parameter "
        "names");
  }
  return WithValues({}, Given(py::dict(py::reinterpret_borrow<py::object>(value))),
                    GivenDerived::kChecked);
}

void BindParameters(py::module_& m) {
  py::class_<ParameterSet>(m, "Parameters",
                           "A parameter set: a read-only mapping by the "
                           "printed names, tanks as lists")
      .def(py::init([](const py::object& mapping, const py::kwargs& values) {
             py::dict all;
             if (!mapping.is_none()) all = py::dict(mapping);
             for (const auto& [key, value] : values) all[key] = value;
             return ParametersFrom(all);
           }),
           "mapping"_a = py::none())
      .def("__getitem__", &Value)
      .def("__len__", [](const ParameterSet&) { return Names().size(); })
      .def("__iter__",
           [](const ParameterSet&) { return Names().attr("__iter__")(); })
      .def("__contains__",
           [](const ParameterSet&, const py::object& name) {
             return Names().contains(name);
           })
      .def("keys", [](const ParameterSet&) { return Names(); })
      .def("values",
           [](const ParameterSet& p) {
             py::list values;
             for (py::handle item : Items(p)) values.append(item[py::int_(1)]);
             return values;
           })
      .def("items", &Items)
      .def(
          "get",
          [](const ParameterSet& p, const std::string& name,
             const py::object& otherwise) {
            return KeyRow(name) != nullptr ? Value(p, name) : otherwise;
          },
          "name"_a, "default"_a = py::none())
      .def("to_dict", &ToDict)
      .def("__eq__",
           [](const ParameterSet& p, const py::object& other) {
             return py::isinstance<ParameterSet>(other) &&
                    ToDict(p).equal(ToDict(other.cast<ParameterSet>()));
           })
      .def(
          "replace",
          [](const ParameterSet& p, const py::kwargs& changes) {
            return WithValues(p, Given(changes), GivenDerived::kRefused);
          },
          "A copy with the changes and the derived values computed again")
      .def("write", &Write, "path"_a,
           "Writes a parameter file that velm reads back to the same values")
      .def("__repr__", [](const ParameterSet& p) {
        std::string text = "velm.Parameters(";
        for (py::handle item : Items(p)) {
          text += py::str("{}={!r}, ")
                      .format(item[py::int_(0)], item[py::int_(1)])
                      .cast<std::string>();
        }
        return text.substr(0, text.size() - 2) + ")";
      });
  py::module_::import("collections.abc")
      .attr("Mapping")
      .attr("register")(m.attr("Parameters"));
}

}  // namespace velm::python
