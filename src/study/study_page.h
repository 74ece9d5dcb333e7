#pragma once

// study.html: one page that works offline, with dygraphs inside as in
// velm-report's pages. Across catchments the empirical distribution of the
// best starts' validation NSE and KGE and every valid start's calibration
// NSE against its validation NSE; per catchment (a list switches between
// them) the dotty plot of each calibrated parameter against f, the best
// start's validation hydrograph within the band of all valid starts, and the
// spread of f and of each parameter over the valid starts.
//
// For a headless browser: once every chart has drawn, <body> carries
// data-charts-drawn equal to data-charts-expected; a script error sets
// data-script-error on <html>; window.velmStudy holds the charts.

#include <string>
#include <vector>

#include "study/study_table.h"

namespace velm::study {

struct CatchmentOutputs {
  std::string Name;
  std::string State;   // "done", "no valid start", "refused", "not run", ...
  std::string Reason;
  Table Starts;        // the catchment's rows of study.csv
  Table Band;          // date, observed, best, low, high; empty without
                       // a valid start
};

std::string RenderStudyPage(const std::vector<CatchmentOutputs>& catchments);

}  // namespace velm::study
