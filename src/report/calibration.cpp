#include "report/calibration.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "input/input_error.h"
#include "common/number_format.h"
#include "input/run_inputs.h"
#include "model/parameter_table.h"
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

std::optional<GeneMapping> ReadGeneMapping(
    const std::filesystem::path& resultDirectory) {
  std::error_code error;
  if (!std::filesystem::exists(resultDirectory / kFileInfoName, error)) {
    return std::nullopt;
  }
  try {
    RunInputs inputs(resultDirectory);
    return MappingFromSettings(inputs.Settings());
  } catch (const InputError&) {
    return std::nullopt;
  }
}

std::string_view ParameterUnit(std::string_view name) {
  const ParameterRow* row = FindParameter(name);
  return row != nullptr ? row->Unit : std::string_view();
}

bool IsValidGene(double gene) { return gene >= 0.0 && gene <= 1.0; }

std::vector<std::string> CalibrationFaults(const CalibrationResult& result) {
  constexpr std::string_view kNoValidSet =
      ": the calibration did not find a valid parameter set";
  std::vector<std::string> faults;
  for (std::size_t k = 0; k < result.Genes.size(); ++k) {
    const double gene = result.Genes[k];
    if (IsValidGene(gene)) continue;
    faults.push_back("gene X[" + std::to_string(k + 1) +
                     "] = " + FormatNumber(gene) + " is outside [0, 1]" +
                     std::string(kNoValidSet));
  }
  if (std::isnan(result.FinalObjective)) {
    faults.push_back("the final objective f is nan" + std::string(kNoValidSet));
  }
  return faults;
}

}  // namespace velm::report
