#pragma once

// The search's progress as a calibration reports it: after every
// generation, each sub-population's lowest f and the evaluations made so far
// ("subp[ 0] min.f=0.537435  fcount=   130"), in the result file when its
// output flag asks for that and always on velm's console, which velm-many
// keeps beside the result as velm-console.txt.

#include <string_view>
#include <vector>

namespace velm::report {

inline constexpr std::string_view kConsoleFileName = "velm-console.txt";

struct TracePoint {
  long long Evaluations = 0;
  double BestF = 0.0;  // the lowest f of the search so far
};

// One point per progress line, in the order of the text; lines that say
// nothing of f are skipped, and so is an f that is no number.
std::vector<TracePoint> SearchTrace(std::string_view text);

}  // namespace velm::report
