#pragma once

// What a page needs to explain a calibration: which parameters each gene
// scales, the units of the parameters, and whether the result is a valid
// parameter set, judged as velm judges it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/run_settings.h"
#include "model/parameter_set.h"
#include "report/result_reader.h"

namespace velm::report {

// Entry k - 1 names the parameters that gene X[k] multiplies, by the names
// the result file gives them ("CoeffTank[2]").
struct GeneMapping {
  std::vector<std::vector<std::string>> ScaledBy;
};

// The mapping of the control file's optimization indices.
GeneMapping MappingFromSettings(const RunSettings& settings);

// What the catchment directory that a result file lies in says of it, when
// FILEINFO.dat there names a control file and a parameter file that can be
// read.
struct CatchmentBeside {
  std::optional<RunSettings> Settings;
  std::optional<ParameterSet> FileParameters;
};
CatchmentBeside ReadCatchmentBeside(const std::filesystem::path& directory);

// The unit of a parameter named as in the result file ("mm/h", "1/h", "-"
// for a ratio); empty for a name the model does not have.
std::string_view ParameterUnit(std::string_view name);

// A parameter set from a block of the result file, by the parameter table's
// names, with the values as the file prints them.
ParameterSet ParametersFromBlock(const std::vector<NamedValue>& block);

// Why the result is not a valid parameter set, in velm's words
// (ResultProblems): the genes, and the ordering rules on the parameter file's
// values scaled by them with the control file beside the result (the
// parameter file's values as the result gives them when that file cannot be
// read), or else on the optimized parameters as the result gives them; and a
// final f that is no number. Empty when it is valid.
std::vector<std::string> CalibrationFaults(const CalibrationResult& result,
                                           const CatchmentBeside& beside);

}  // namespace velm::report
