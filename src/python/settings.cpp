#include "python/settings.h"

#include <pybind11/stl.h>

#include <array>
#include <string>

namespace velm::python {
namespace {

template <typename T>
struct Field {
  const char* Name;
  T RunSettings::*Member;
};

constexpr std::array<Field<int>, 18> kIntegers{{
    {"RunMode", &RunSettings::RunMode},
    {"ObservedFlag", &RunSettings::ObservedFlag},
    {"OutputFlag", &RunSettings::OutputFlag},
    {"SurfaceStorageFlag", &RunSettings::SurfaceStorageFlag},
    {"ObjectiveType", &RunSettings::ObjectiveType},
    {"FcountLimit", &RunSettings::FcountLimit},
    {"VariableCount", &RunSettings::VariableCount},
    {"OptIndex_Impervious", &RunSettings::OptIndex_Impervious},
    {"OptIndex_MAX_Infiltration", &RunSettings::OptIndex_MAX_Infiltration},
    {"OptIndex_Final_Infiltration", &RunSettings::OptIndex_Final_Infiltration},
    {"OptIndex_Coeff_Reduction", &RunSettings::OptIndex_Coeff_Reduction},
    {"OptIndex_F18_Infiltration", &RunSettings::OptIndex_F18_Infiltration},
    {"OptIndex_MAX_EvapoRatio", &RunSettings::OptIndex_MAX_EvapoRatio},
    {"OptIndex_Coeff_EvapoModel", &RunSettings::OptIndex_Coeff_EvapoModel},
    {"OptIndex_CoeffSurfaceTopTank",
     &RunSettings::OptIndex_CoeffSurfaceTopTank},
    {"OptIndex_HighSurfaceTopTank", &RunSettings::OptIndex_HighSurfaceTopTank},
    {"OptIndex_CoeffSurfaceBotomTank",
     &RunSettings::OptIndex_CoeffSurfaceBotomTank},
    {"OptIndex_HighSurfaceBotomTank",
     &RunSettings::OptIndex_HighSurfaceBotomTank},
}};
constexpr std::array<Field<double>, 2> kReals{{
    {"CatchmentArea", &RunSettings::CatchmentArea},
    {"BalanceErrorLimit", &RunSettings::BalanceErrorLimit},
}};
constexpr std::array<Field<std::vector<int>>, 2> kLists{{
    {"OptIndex_CoeffTank", &RunSettings::OptIndex_CoeffTank},
    {"OptIndex_BotomTank", &RunSettings::OptIndex_BotomTank},
}};

template <typename T, std::size_t N>
bool SetIfNamed(RunSettings& settings, const std::array<Field<T>, N>& fields,
                const std::string& name, py::handle value) {
  for (const Field<T>& field : fields) {
    if (name == field.Name) {
      settings.*(field.Member) = value.cast<T>();
      return true;
    }
  }
  return false;
}

void CheckIndex(const char* name, int index, int variableCount) {
  if (index != 0 && (index < 1 || index > variableCount)) {
    throw py::value_error(std::string(name) + " " + std::to_string(index) +
                          " names no variable: an index is 0 or 1 to "
                          "VariableCount " +
                          std::to_string(variableCount));
  }
}

}  // namespace

py::dict SettingsDict(const RunSettings& settings) {
  py::dict values;
  for (const auto& field : kReals) values[field.Name] = settings.*field.Member;
  for (const auto& field : kIntegers) {
    values[field.Name] = settings.*field.Member;
  }
  for (const auto& field : kLists) values[field.Name] = settings.*field.Member;
  return values;
}

RunSettings ChangedSettings(RunSettings settings, const py::dict& changes) {
  for (const auto& [key, value] : changes) {
    const auto name = key.cast<std::string>();
    if (!SetIfNamed(settings, kIntegers, name, value) &&
        !SetIfNamed(settings, kReals, name, value) &&
        !SetIfNamed(settings, kLists, name, value)) {
      throw py::type_error("the settings have no value '" + name + "'");
    }
  }
  const int variables = settings.VariableCount;
  if (variables > RunSettings::kMaxVariableCount) {
    throw py::value_error("VariableCount must be at most 14, not " +
                          std::to_string(variables));
  }
  for (const auto& field : kIntegers) {
    const std::string_view name = field.Name;
    if (name.starts_with("OptIndex_")) {
      CheckIndex(field.Name, settings.*field.Member, variables);
    }
  }
  for (const auto& field : kLists) {
    for (int index : settings.*field.Member) {
      CheckIndex(field.Name, index, variables);
    }
  }
  if (settings.OptIndex_CoeffTank.size() !=
      settings.OptIndex_BotomTank.size()) {
    throw py::value_error(
        "OptIndex_CoeffTank and OptIndex_BotomTank must list the same tanks");
  }
  return settings;
}

}  // namespace velm::python
