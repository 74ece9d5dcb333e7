#pragma once

// The water balance of the run that a result file records, as the model
// moved the water: velm's simulation of the result's parameters on the
// catchment directory the result lies in. The result file holds neither the
// infiltration nor the stores, so only the directory beside it can give them.

#include <filesystem>
#include <optional>
#include <string>

#include "model/water_balance.h"
#include "report/result_reader.h"

namespace velm::report {

struct BalanceBeside {
  std::optional<WaterBalance> Balance;
  // Why there is none, for the page; empty when there is one or when no
  // catchment lies beside the result.
  std::string Missing;
};

// The parameter file's values, scaled by the result's genes for a
// calibration, simulated on the directory's weather; none when the directory
// cannot be read or its simulation does not give the result's calculated
// runoff to the page's precision (the inputs changed since the run).
BalanceBeside SimulateBeside(const std::filesystem::path& directory,
                             const ResultFile& result);

}  // namespace velm::report
