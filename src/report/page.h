#pragma once

// One self-contained HTML page per result file: the interactive hydrograph,
// the flow-duration curve, the cumulative runoff, the water balance, the
// scores and the parameters. It loads nothing from the network.

#include <string>
#include <string_view>

#include "report/result_reader.h"
#include "report/scores.h"

namespace velm::report {

// The charts the page draws; once all have drawn, the page sets
// data-charts-drawn on <body> to this number, and a script error sets
// data-script-error on <html>, so that a headless browser can check the page.
inline constexpr int kChartCount = 3;

// `source` names the result file in the page's heading.
std::string RenderPage(const ResultFile& result, const Scores& scores,
                       std::string_view source);

}  // namespace velm::report
