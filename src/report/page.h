#pragma once

// One self-contained HTML page per result file, for the hydrologist who reads
// the run: the hydrograph with rain and a log-scale switch, the flow-duration
// curve, the cumulative runoff, calculated against observed runoff, the
// monthly totals, the scores, the water balance and the parameters, with
// downloads of the daily series and of each chart and a print layout. It
// loads nothing from the network.
//
// For a headless browser: once every chart has drawn, <body> carries
// data-charts-drawn equal to its data-charts-expected, and a script error
// sets data-script-error on <html>.

#include <optional>
#include <string>
#include <vector>

#include "report/calibration.h"
#include "report/result_reader.h"
#include "results/scores.h"

namespace velm::report {

// What the page tells beyond the result file itself.
struct PageContext {
  std::string Source;     // the result file as named on the command line
  std::string Catchment;  // the name of the directory the result lies in
  // Downloads are named after it: "result-daily.csv", "result-scatter.png".
  std::string FileStem;
  std::optional<GeneMapping> Genes;
  // The text of the velm-check.json beside the result file, unparsed.
  std::optional<std::string> CheckReport;
  // Why the result is no valid parameter set (CalibrationFaults).
  std::vector<std::string> Faults;
};

std::string RenderPage(const ResultFile& result, const Scores& scores,
                       const PageContext& context);

}  // namespace velm::report
