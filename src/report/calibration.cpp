#include "report/calibration.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/number_format.h"

namespace velm::report {

GeneMapping MappingFromSettings(const RunSettings& settings) {
  GeneMapping mapping;
  mapping.ScaledBy.resize(
      static_cast<std::size_t>(std::max(0, settings.VariableCount)));
  const auto scale = [&](int index, std::string name) {
    if (index < 1 || static_cast<std::size_t>(index) > mapping.ScaledBy.size())
      return;
    mapping.ScaledBy[static_cast<std::size_t>(index) - 1].push_back(
        std::move(name));
  };
  scale(settings.OptIndex_Impervious, "Impervious");
  scale(settings.OptIndex_MAX_Infiltration, "MAX_Infiltration");
  scale(settings.OptIndex_Final_Infiltration, "Final_Infiltration");
  scale(settings.OptIndex_Coeff_Reduction, "Coeff_Reduction");
  scale(settings.OptIndex_F18_Infiltration, "F18_Infiltration");
  scale(settings.OptIndex_MAX_EvapoRatio, "MAX_EvapoRatio");
  scale(settings.OptIndex_Coeff_EvapoModel, "Coeff_EvapoModel");
  scale(settings.OptIndex_CoeffSurfaceTopTank, "CoeffSurfaceTopTank");
  scale(settings.OptIndex_HighSurfaceTopTank, "HighSurfaceTopTank");
  scale(settings.OptIndex_CoeffSurfaceBotomTank, "CoeffSurfaceBotomTank");
  scale(settings.OptIndex_HighSurfaceBotomTank, "HighSurfaceBotomTank");
  const int tanks = static_cast<int>(settings.OptIndex_CoeffTank->size());
  for (int tank = 1; tank <= tanks; ++tank) {
    const std::string number = "[" + std::to_string(tank) + "]";
    scale(settings.CoeffTankIndex(tank), "CoeffTank" + number);
    scale(settings.BotomTankIndex(tank), "BotomTank" + number);
  }
  return mapping;
}

// velm's control-file reader opens FILEINFO.dat in the working directory,
// and velm-report never changes its working directory: a report made from
// another directory would read the wrong catchment's control file. The
// mapping is therefore unknown here; reading it needs the inputs of a run
// opened in `resultDirectory`, after which MappingFromSettings applies.
std::optional<GeneMapping> ReadGeneMapping(
    const std::filesystem::path& /*resultDirectory*/) {
  return std::nullopt;
}

std::string_view ParameterUnit(std::string_view name) {
  name = name.substr(0, name.find('['));
  static constexpr std::pair<std::string_view, std::string_view> kUnits[] = {
      {"Impervious", "-"},
      {"MAX_SoilMoisture", "mm"},
      {"F18_SoilMoisture", "mm"},
      {"Final_Infiltration", "mm/h"},
      {"F18_Infiltration", "mm/h"},
      {"MAX_Infiltration", "mm/h"},
      {"Coeff_Reduction", "1/h"},
      {"MAX_EvapoRatio", "-"},
      {"Coeff_EvapoModel", "-"},
      {"CoeffSurfaceTopTank", "1/h"},
      {"CoeffSurfaceBotomTank", "1/h"},
      {"HighSurfaceTopTank", "mm"},
      {"HighSurfaceBotomTank", "mm"},
      {"ImperviousTankWD", "mm"},
      {"TankWaterDepth", "mm"},
      {"CoeffTank", "1/h"},
      {"BotomTank", "mm/h"},
  };
  for (const auto& [parameter, unit] : kUnits) {
    if (parameter == name) return unit;
  }
  return {};
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
