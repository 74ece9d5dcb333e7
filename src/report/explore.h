#pragma once

// The page's "Explore" panel, when velm-report carries velm's model: a
// slider and a number box for each parameter of the parameter file, and on
// every change the model re-simulates in the browser and the page redraws
// its hydrograph, flow-duration curve, monthly bars and scores. The page
// carries what the model needs beyond the result file, read from the
// catchment directory the result lies in: the hourly rain and potential
// evaporation and the daily observed runoff as velm reads them (base64 of
// little-endian doubles), the control file's settings and the parameter
// file's values.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "input/run_settings.h"
#include "input/series.h"
#include "model/parameter_set.h"
#include "report/calibration.h"
#include "report/result_reader.h"

namespace velm::report {

struct ExploreInputs {
  std::shared_ptr<const Weather> WeatherRecord;    // null: nothing to explore
  std::shared_ptr<const ObservedRunoff> Observed;  // null: none compared
  RunSettings Settings;
  ParameterSet FileParameters;
  std::string Missing;  // why there is nothing to explore
};

// The catchment's files as velm reads them; with nothing to explore when
// they cannot be read or their days are not the result's.
ExploreInputs ReadExploreInputs(const std::filesystem::path& directory,
                                const ResultFile& result);

// The panel's section, its data, script and style; empty when velm-report
// carries no model.
std::string ExploreBlock(const ResultFile& result, const ExploreInputs& inputs,
                         const std::optional<GeneMapping>& genes);

}  // namespace velm::report
