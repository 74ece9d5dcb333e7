#include "report/model_balance.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "common/number_format.h"
#include "input/file_info.h"
#include "input/run_inputs.h"
#include "optimizer/gene_map.h"
#include "run/simulation_run.h"

namespace velm::report {
namespace {

// The page prints the balance to 0.1 mm; a simulation that misses the
// result's runoff by less than half of that over all days is the run.
constexpr double kAgreementMm = 0.05;

ParameterSet ResultParameters(const CatchmentData& data,
                              const ResultFile& result) {
  ParameterSet p = data.Parameters;
  if (!result.Calibration) return p;
  Genes x{};
  const std::vector<double>& genes = result.Calibration->Genes;
  std::copy_n(genes.begin(),
              std::min(genes.size(), static_cast<std::size_t>(kSlotCount - 1)),
              x.begin() + 1);
  GeneMap(data.Settings.VariableCount, data.Settings.OptIndex).Apply(p, x);
  return p;
}

}  // namespace

BalanceBeside SimulateBeside(const std::filesystem::path& directory,
                             const ResultFile& result) {
  BalanceBeside beside;
  std::error_code error;
  if (!std::filesystem::exists(directory / kFileInfoName, error)) {
    return beside;
  }
  SimulationRun run;
  try {
    const CatchmentData data =
        CatchmentData::Read(std::make_shared<RunInputs>(directory));
    run = SimulateCatchment(data, ResultParameters(data, result), false);
  } catch (const std::exception&) {
    // An InputError, or whatever else keeps the directory from a run.
    beside.Missing =
        "velm cannot read the catchment directory beside the result "
        "(velm-check says why)";
    return beside;
  }
  double apart = run.DailyCalcQ.size() == result.Days.size() ? 0.0 : INFINITY;
  double recorded = 0.0;
  for (std::size_t d = 0; std::isfinite(apart) && d < result.Days.size(); ++d) {
    apart += std::fabs(run.DailyCalcQ[d] - result.Days[d].Calculated);
    recorded += result.Days[d].Calculated;
  }
  if (!(apart < kAgreementMm)) {
    beside.Missing =
        "velm's simulation of the catchment directory beside the result does "
        "not give the result's calculated runoff (" +
        FormatPrintf("%.1f", run.Balance.MainPass.Runoff()) +
        " mm against the result's " + FormatPrintf("%.1f", recorded) +
        " mm, or other days), so its inputs changed since the run";
    return beside;
  }
  beside.Balance = std::move(run.Balance);
  return beside;
}

}  // namespace velm::report
