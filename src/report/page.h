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
#include <string_view>
#include <vector>

#include "model/water_balance.h"
#include "report/calibration.h"
#include "report/explore.h"
#include "report/html.h"
#include "report/result_reader.h"
#include "report/search_trace.h"
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
  // The model's water balance of the run, from the catchment beside the
  // result (SimulateBeside), and why there is none when there is a catchment.
  std::optional<WaterBalance> Balance;
  std::string BalanceMissing;
  // The search's best f against its evaluations, and the file it came from.
  std::vector<TracePoint> Search;
  std::string SearchSource;
  // What the page's model needs to explore the run (ExploreBlock).
  ExploreInputs Explore;
};


std::string RenderPage(const ResultFile& result, const Scores& scores,
                       const PageContext& context);

}  // namespace velm::report
