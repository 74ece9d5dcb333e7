#pragma once

// The efficiencies a study may calibrate on instead of the control file's
// measure, as losses that a search minimises: 1 − NSE, 1 − KGE (2009) and
// 1 − log-NSE, which weights low flows. They count the fit days, as the
// scores do, and velm's own calibration never uses them.

#include <optional>
#include <span>

namespace velm {

enum class Efficiency { kNse, kKge, kLogNse };

// NaN when the efficiency is undefined for the series (see Scores).
double EfficiencyLoss(Efficiency measure, std::span<const double> observed,
                      std::span<const double> calculated);

// NSE of ln(Q + ε) over the fit days, with ε a hundredth of the mean
// observed runoff (Pushpalatha et al. 2012), so that a day without
// calculated runoff still has a logarithm.
std::optional<double> LogNse(std::span<const double> observed,
                             std::span<const double> calculated);

}  // namespace velm
