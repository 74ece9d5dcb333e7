#pragma once

// The goodness-of-fit scores hydrologists quote, over the fit days: the days
// whose observed total is above zero, the same days velm's own fit counts. A
// score that is undefined for the series at hand (a constant observed series
// has no variance to explain, a NaN has no value) is empty rather than a
// made-up number.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/field_count.h"

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

// A score as a row: the Python module's dictionary, velm-report's table, CSV
// line and page, and the page's model iterate the rows.
struct ScoreRow {
  std::string_view Key;   // "kge_prime": in Python and in CSV headers
  std::string_view Name;  // "KGE'": in velm-report's table
  std::string_view Html;  // "KGE&prime;": on the page
  std::optional<double> Scores::*Value;
  // A part of the score above it, which the table indents.
  bool Component;
  std::string_view Unit;  // empty for a number without a unit
  std::string_view Description;
};

inline constexpr std::array<ScoreRow, 10> kScores{{
    {"nse", "NSE", "NSE", &Scores::NSE, false, "",
     "Nash-Sutcliffe efficiency (1 is perfect)"},
    {"kge", "KGE", "KGE", &Scores::KGE, false, "",
     "Kling-Gupta efficiency, 2009 (1 is perfect)"},
    {"r", "r", "r", &Scores::R, true, "", "linear correlation"},
    {"alpha", "alpha", "&alpha;", &Scores::Alpha, true, "",
     "ratio of standard deviations, calculated / observed"},
    {"beta", "beta", "&beta;", &Scores::Beta, true, "",
     "ratio of means, calculated / observed"},
    {"kge_prime", "KGE'", "KGE&prime;", &Scores::KGEPrime, false, "",
     "Kling-Gupta efficiency, 2012, with &gamma;"},
    {"gamma", "gamma", "&gamma;", &Scores::Gamma, true, "",
     "ratio of coefficients of variation"},
    {"pbias", "PBIAS", "PBIAS %", &Scores::PercentBias, false, "%",
     "percent bias, positive when calculated is higher"},
    {"rmse", "RMSE", "RMSE", &Scores::RMSE, false, "mm/day",
     "root mean square error, mm/day"},
    {"peak_error", "Peak error", "Peak error %", &Scores::PeakError, false,
     "%", "highest calculated day against highest observed day"},
}};
static_assert(FieldCount<Scores>() == kScores.size() + 1,
              "every score of Scores has its row in kScores, beside FitDays");

// The two series are the daily totals, day by day.
Scores ComputeScores(std::span<const double> observed,
                     std::span<const double> calculated);

// A score as velm-report's table and page show it: the number format of the
// result file, or "undefined".
std::string FormatScore(std::optional<double> score);

}  // namespace velm
