#include "python/settings.h"

#include <pybind11/stl.h>

#include <string>

namespace velm::python {
namespace {

constexpr std::string_view kIndexPrefix = "OptIndex_";

std::string IndexName(const ParameterRow& row) {
  return std::string(kIndexPrefix) + std::string(row.Name);
}

}  // namespace

py::dict SettingsDict(const RunSettings& s) {
  py::dict values;
  for (const SettingRow& row : kSettings) {
    const py::str name(row.Name.data(), row.Name.size());
    values[name] = row.Integer != nullptr ? py::cast(s.*(row.Integer))
                                          : py::cast(s.*(row.Real));
  }
  for (const ParameterRow* row : kScalableRows) {
    const std::size_t at = PositionOf(*row);
    values[py::str(IndexName(*row))] =
        row->Tanks == nullptr ? py::cast(s.OptIndex.Single[at])
                              : py::cast(s.OptIndex.Tanks[at]);
  }
  return values;
}

RunSettings ChangedSettings(RunSettings s, const py::dict& changes) {
  for (const auto& [key, value] : changes) {
    const auto name = key.cast<std::string>();
    const auto setting =
        std::find_if(kSettings.begin(), kSettings.end(),
                     [&](const SettingRow& row) { return row.Name == name; });
    const ParameterRow* row =
        name.starts_with(kIndexPrefix)
            ? FindParameter(std::string_view(name).substr(kIndexPrefix.size()))
            : nullptr;
    if (setting != kSettings.end()) {
      if (setting->Integer != nullptr) s.*(setting->Integer) = value.cast<int>();
      if (setting->Real != nullptr) s.*(setting->Real) = value.cast<double>();
    } else if (row != nullptr && row->IndexLine > 0 && IndexName(*row) == name) {
      const std::size_t at = PositionOf(*row);
      if (row->Tanks == nullptr) {
        s.OptIndex.Single[at] = value.cast<int>();
      } else {
        s.OptIndex.Tanks[at] = value.cast<std::vector<int>>();
      }
    } else {
      throw py::type_error("the settings have no value '" + name + "'");
    }
  }
  CheckIndices(s);
  return s;
}

}  // namespace velm::python
