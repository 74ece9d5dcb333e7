#include "python/parameters.h"

#include <pybind11/stl.h>

#include <array>
#include <bit>
#include <cstdint>
#include <fstream>
#include <optional>
#include <vector>

#include "common/number_format.h"
#include "input/parameter_file_writer.h"

namespace velm::python {
namespace {

constexpr const char* kTankCountName = "TankCount";
constexpr const char* kCoeffTankName = "CoeffTank";
constexpr const char* kBotomTankName = "BotomTank";

template <std::size_t N>
const ParameterField* FindField(const std::array<ParameterField, N>& fields,
                             std::string_view name) {
  for (const ParameterField& field : fields) {
    if (name == field.Name) return &field;
  }
  return nullptr;
}

py::list TankValues(const std::vector<double>& slots) {
  py::list values;
  for (std::size_t i = 1; i < slots.size(); ++i) values.append(slots[i]);
  return values;
}

// Slot 0 holds no tank.
std::vector<double> TankSlots(py::handle values) {
  std::vector<double> slots{0.0};
  for (py::handle value : values) slots.push_back(value.cast<double>());
  return slots;
}

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void ComputeDerivedOrRefuse(ParameterSet& p) {
  switch (ComputeDerivedValues(p)) {
    case DerivationProblem::kNone:
      return;
    case DerivationProblem::kNoMaxInfiltration:
      throw py::value_error(
          "no MAX_Infiltration can be derived from MAX_SoilMoisture, "
          "Final_Infiltration, Coeff_Reduction and F18_SoilMoisture: the "
          "soil values do not fit together");
    case DerivationProblem::kImperviousIsOne:
      throw py::value_error(
          "Impervious 1 with tanks: the tanks' initial depths would divide "
          "by zero");
  }
}

// Applies the changes; the tank lists and TankCount are made to agree.
void ApplyChanges(ParameterSet& p, const py::dict& changes) {
  std::optional<int> tankCount;
  bool coeffGiven = false;
  bool botomGiven = false;
  for (const auto& [key, value] : changes) {
    const auto name = key.cast<std::string>();
    if (const ParameterField* field = FindField(kFileScalars, name)) {
      p.*(field->Member) = value.cast<double>();
    } else if (name == kTankCountName) {
      tankCount = value.cast<int>();
    } else if (name == kCoeffTankName) {
      p.CoeffTank = TankSlots(value);
      coeffGiven = true;
    } else if (name == kBotomTankName) {
      p.BotomTank = TankSlots(value);
      botomGiven = true;
    } else {
      throw py::type_error("velm.Parameters has no parameter '" + name +
                           "'; its names are " +
                           py::str(ParameterNames()).cast<std::string>());
    }
  }
  const auto listCount = [](const std::vector<double>& slots) {
    return static_cast<int>(slots.size()) - 1;
  };
  const int count = tankCount    ? *tankCount
                    : coeffGiven ? listCount(p.CoeffTank)
                    : botomGiven ? listCount(p.BotomTank)
                                 : p.TankCount;
  if (count < 0 || count > ParameterSet::kMaxTankCount) {
    throw py::value_error("TankCount must be from 0 to 1000, not " +
                          std::to_string(count));
  }
  if ((coeffGiven && listCount(p.CoeffTank) != count) ||
      (botomGiven && listCount(p.BotomTank) != count)) {
    throw py::value_error(
        "CoeffTank and BotomTank must each hold one value per tank: " +
        std::to_string(count) + " tanks");
  }
  // Tanks a list does not give read as 0, as the parameter file's lines do.
  p.TankCount = count;
  p.CoeffTank.resize(static_cast<std::size_t>(count) + 1, 0.0);
  p.BotomTank.resize(static_cast<std::size_t>(count) + 1, 0.0);
}

}  // namespace

py::list ParameterNames() {
  py::list names;
  for (const ParameterField& field : kFileScalars) names.append(field.Name);
  names.append(kTankCountName);
  names.append(kCoeffTankName);
  names.append(kBotomTankName);
  for (const ParameterField& field : kDerivedScalars) names.append(field.Name);
  return names;
}

py::object ParameterValue(const ParameterSet& p, const std::string& name) {
  const ParameterField* field = FindField(kFileScalars, name);
  if (!field) field = FindField(kDerivedScalars, name);
  if (field) return py::float_(p.*(field->Member));
  if (name == kTankCountName) return py::int_(p.TankCount);
  if (name == kCoeffTankName) return TankValues(p.CoeffTank);
  if (name == kBotomTankName) return TankValues(p.BotomTank);
  throw py::key_error(name);
}

ParameterSet ReplaceParameters(const ParameterSet& parameters,
                               const py::dict& changes) {
  for (const ParameterField& field : kDerivedScalars) {
    if (changes.contains(field.Name)) {
      throw py::value_error(
          std::string(field.Name) +
          " is derived from MAX_SoilMoisture, Final_Infiltration, "
          "Coeff_Reduction and F18_SoilMoisture, as velm derives it when it "
          "reads a parameter file: change those instead");
    }
  }
  ParameterSet p = parameters;
  ApplyChanges(p, changes);
  ComputeDerivedOrRefuse(p);
  return p;
}

ParameterSet ParametersFrom(py::handle value) {
  if (py::isinstance<ParameterSet>(value)) return value.cast<ParameterSet>();
  if (!py::hasattr(value, "keys")) {
    throw py::type_error(
        "parameters must be a velm.Parameters or a mapping of parameter "
        "names");
  }
  py::dict values(py::reinterpret_borrow<py::object>(value));
  py::dict given;
  for (const ParameterField& field : kDerivedScalars) {
    if (values.contains(field.Name)) {
      given[field.Name] = values[field.Name];
      PyDict_DelItemString(values.ptr(), field.Name);
    }
  }
  // An empty parameter file: every value 0, no tanks.
  ParameterSet p;
  p.CoeffTank.assign(1, 0.0);
  p.BotomTank.assign(1, 0.0);
  ApplyChanges(p, values);
  ComputeDerivedOrRefuse(p);
  for (const ParameterField& field : kDerivedScalars) {
    if (given.contains(field.Name) &&
        !SameBits(given[field.Name].cast<double>(), p.*(field.Member))) {
      throw py::value_error(
          std::string(field.Name) + " " +
          FormatPrintf("%.17g", given[field.Name].cast<double>()) +
          " is not the value the soil values give, " +
          FormatPrintf("%.17g", p.*(field.Member)));
    }
  }
  return p;
}

void WriteParameterFile(const ParameterSet& parameters,
                        const std::filesystem::path& path) {
  const std::string text = ParameterFileText(parameters);
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) {
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
  }
}

}  // namespace velm::python
