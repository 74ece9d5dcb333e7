#pragma once

// The goodness-of-fit scores hydrologists quote, over the fit days: the days
// whose observed total is above zero, the same days velm's own fit counts. A
// score that is undefined for the series at hand (a constant observed series
// has no variance to explain) is empty rather than a made-up number.

#include <optional>
#include <span>

namespace velm::report {

struct Scores {
  int fitDays = 0;
  std::optional<double> nse;       // Nash-Sutcliffe efficiency
  std::optional<double> kge;       // Kling-Gupta efficiency (2009)
  std::optional<double> r;         // linear correlation
  std::optional<double> alpha;     // ratio of standard deviations
  std::optional<double> beta;      // ratio of means
  std::optional<double> kgePrime;  // KGE' (2012)
  std::optional<double> gamma;     // ratio of coefficients of variation
  // 100 (sum calculated - sum observed) / sum observed
  std::optional<double> percentBias;
  std::optional<double> rmse;
  // 100 (max calculated - max observed) / max observed, whichever days the
  // two peaks fall on
  std::optional<double> peakError;
};

// The two series are the daily totals, day by day.
Scores ComputeScores(std::span<const double> observed,
                     std::span<const double> calculated);

}  // namespace velm::report
