#pragma once

// The daily fit of a simulation against observed runoff: the three fit
// measures and the water balance over the days that were observed.

#include <span>

#include "common/text_writer.h"

namespace velm {

// Daily totals of whole days, day by day.
struct DailyTotals {
  std::span<const double> CalcQ;
  std::span<const double> Rain;
  std::span<const double> PotentialE;
  std::span<const double> ActualE;
  std::span<const double> ObservedQ;  // empty without observed runoff
};

// Fit days are the days whose observed total is above zero; only they enter
// the measures and the water-balance sums. Without a fit day every measure
// is NaN (0/0).
inline bool IsFitDay(double observedTotal) { return observedTotal > 0; }

struct FitMeasures {
  int FitDays = 0;
  double RMSE = 0.0;
  double RR = 0.0;
  double RE = 0.0;
  double BalanceRatio = 0.0;
  double SumRain = 0.0;
  double SumObservedQ = 0.0;
  double SumCalcQ = 0.0;
  double SumActualE = 0.0;
};
FitMeasures MeasureFit(const DailyTotals& days);

// The measure ObjectiveType selects: 1 RMSE, 2 RR, 3 RE. Any other type
// scores the water balance: 10 × BalanceRatio while it stays below
// balanceErrorLimit (or either is NaN), else 0.
double SelectedMeasure(const FitMeasures& fit, int objectiveType,
                       double balanceErrorLimit);

// "day= " and the fit days, the selected measure, then the water balance.
void WriteFitReport(TextWriter& console, const FitMeasures& fit,
                    int objectiveType);
// The selected measure with its label and line end; for an ObjectiveType
// without a measure nothing, not even the line end, so that the next line
// continues this one.
void WriteSelectedMeasure(TextWriter& out, const FitMeasures& fit,
                          int objectiveType);
void WriteWaterBalance(TextWriter& out, const FitMeasures& fit);

}  // namespace velm
