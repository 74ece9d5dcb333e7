#pragma once

// The goodness-of-fit scores hydrologists quote, over the fit days: the days
// whose observed total is above zero, the same days velm's own fit counts. A
// score that is undefined for the series at hand (a constant observed series
// has no variance to explain, a NaN has no value) is empty rather than a
// made-up number.

#include <optional>
#include <span>

namespace velm {

struct Scores {
  int FitDays = 0;
  std::optional<double> NSE;       // Nash-Sutcliffe efficiency
  std::optional<double> KGE;       // Kling-Gupta efficiency (2009)
  std::optional<double> R;         // linear correlation
  std::optional<double> Alpha;     // ratio of standard deviations
  std::optional<double> Beta;      // ratio of means
  std::optional<double> KGEPrime;  // KGE' (2012)
  std::optional<double> Gamma;     // ratio of coefficients of variation
  // 100 (sum calculated - sum observed) / sum observed
  std::optional<double> PercentBias;
  std::optional<double> RMSE;
  // 100 (max calculated - max observed) / max observed, whichever days the
  // two peaks fall on
  std::optional<double> PeakError;
};

// The two series are the daily totals, day by day.
Scores ComputeScores(std::span<const double> observed,
                     std::span<const double> calculated);

}  // namespace velm
