#pragma once

// What a page needs to explain a calibration: which parameters each gene
// scales, the units of the parameters, and the signs that a calibration found
// no valid parameter set.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/run_settings.h"
#include "report/result_reader.h"

namespace velm::report {

// Entry k - 1 names the parameters that gene X[k] multiplies, by the names
// the result file gives them ("CoeffTank[2]").
struct GeneMapping {
  std::vector<std::vector<std::string>> ScaledBy;
};

// The mapping of the control file's optimization indices.
GeneMapping MappingFromSettings(const RunSettings& settings);

// The mapping of the control file that FILEINFO.dat names in the result
// file's directory; nothing when it cannot be read there.
std::optional<GeneMapping> ReadGeneMapping(
    const std::filesystem::path& resultDirectory);

// The unit of a parameter named as in the result file ("mm/h", "1/h", "-"
// for a ratio); empty for a name the model does not have.
std::string_view ParameterUnit(std::string_view name);

// A gene is a multiplier from 0 to 1; a NaN is none.
bool IsValidGene(double gene);

// One English sentence for every gene outside [0, 1] and for a final
// objective that is NaN: a calibration that ends so found no valid parameter
// set.
std::vector<std::string> CalibrationFaults(const CalibrationResult& result);

}  // namespace velm::report
