#include "report/calibration.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "input/input_error.h"
#include "input/run_inputs.h"
#include "model/parameter_table.h"
#include "optimizer/bounds_check.h"
#include "optimizer/gene_map.h"

namespace velm::report {

GeneMapping MappingFromSettings(const RunSettings& settings) {
  GeneMapping mapping;
  mapping.ScaledBy.resize(
      static_cast<std::size_t>(std::max(0, settings.VariableCount)));
  // The control file's tank entries: the parameter file may have fewer.
  std::size_t tanks = 0;
  for (const std::vector<int>& list : settings.OptIndex.Tanks) {
    tanks = std::max(tanks, list.size());
  }
  const GeneMap map(settings.VariableCount, settings.OptIndex);
  for (const ScaledParameter& p : map.Parameters(static_cast<int>(tanks))) {
    const auto gene = static_cast<std::size_t>(p.Gene);
    if (gene >= 1 && gene <= mapping.ScaledBy.size()) {
      mapping.ScaledBy[gene - 1].push_back(p.Parameter.Name());
    }
  }
  return mapping;
}

CatchmentBeside ReadCatchmentBeside(const std::filesystem::path& directory) {
  CatchmentBeside beside;
  std::error_code error;
  if (!std::filesystem::exists(directory / kFileInfoName, error)) {
    return beside;
  }
  RunInputs inputs(directory);
  try {
    beside.Settings = inputs.Settings();
    beside.FileParameters = inputs.FileParameters();
  } catch (const InputError&) {
  }
  return beside;
}

std::string_view ParameterUnit(std::string_view name) {
  const ParameterRow* row = FindParameter(name);
  return row != nullptr ? row->Unit : std::string_view();
}

ParameterSet ParametersFromBlock(const std::vector<NamedValue>& block) {
  ParameterSet p;
  for (const NamedValue& value : block) {
    const ParameterRow* row = FindParameter(value.Name);
    if (row == nullptr) continue;
    if (row->Value != nullptr) p.*(row->Value) = value.Value;
    if (row->Tanks == nullptr) continue;
    // "CoeffTank[2]": entry 2 of the list; the tanks are those it names.
    const std::string_view name = value.Name;
    std::size_t entry = 0;
    const auto open = name.find('[');
    std::from_chars(name.data() + open + 1, name.data() + name.size(), entry);
    std::vector<double>& list = p.*(row->Tanks);
    if (list.size() <= entry) list.resize(entry + 1, 0.0);
    list[entry] = value.Value;
    if (row->Kind == ParameterKind::kTankList) {
      p.TankCount = std::max(p.TankCount, static_cast<int>(entry));
    }
  }
  for (const ParameterRow* row : kRowsOf<ParameterKind::kTankList>) {
    (p.*(row->Tanks)).resize(static_cast<std::size_t>(p.TankCount) + 1, 0.0);
  }
  return p;
}

std::vector<std::string> CalibrationFaults(const CalibrationResult& result,
                                           const CatchmentBeside& beside) {
  Genes x{};
  const auto count = static_cast<int>(
      std::min(result.Genes.size(), static_cast<std::size_t>(kSlotCount - 1)));
  std::copy_n(result.Genes.begin(), count, x.begin() + 1);
  if (!beside.Settings) {
    return ResultProblems(x, count, result.FinalObjective,
                          ParametersFromBlock(result.Optimized));
  }
  const ParameterSet fileParameters = beside.FileParameters
                                          ? *beside.FileParameters
                                          : ParametersFromBlock(result.Initial);
  return ResultProblems(
      x, result.FinalObjective, fileParameters,
      GeneMap(beside.Settings->VariableCount, beside.Settings->OptIndex));
}

}  // namespace velm::report
