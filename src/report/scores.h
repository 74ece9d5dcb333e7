#pragma once

// The goodness-of-fit scores as velm-report prints them. The scores
// themselves belong to the results layer, which the Python module shares.

#include <optional>
#include <string>

#include "results/scores.h"

namespace velm::report {

using velm::ComputeScores;
using velm::Scores;

// A score as the console table and the page show it: the number format of the
// result file, or "undefined".
std::string FormatScore(std::optional<double> score);

}  // namespace velm::report
