#pragma once

// The daily fit of a simulation against observed runoff: daily totals, the
// three fit measures and the water balance over the days that were observed.

#include <ostream>
#include <span>
#include <vector>

#include "model/runoff_model.h"

namespace velm {

// Whether a fit report with output flag 1 also rewrites the result file.
// During a calibration the run itself holds the result file open, so its
// evaluations report on the console only.
enum class FitReportFile { kWrite, kSkip };

// Daily totals of the model's series; ObservedQ stays empty until the
// observed-runoff file has been read into the model and totalled.
struct DailyTotals {
  std::vector<double> CalcQ;
  std::vector<double> Rain;
  std::vector<double> PotentialE;
  std::vector<double> ActualE;
  std::vector<double> ObservedQ;
};
DailyTotals SumModelDays(const RunoffModel& model);
// The observed runoff (read at the run's first request) into the model, and
// its daily totals.
void AddObservedDays(RunoffModel& model, DailyTotals& days);

// Fit days are the days whose observed total is above zero; only they enter
// the measures and the water-balance sums. Without a fit day every measure
// is NaN (0/0).
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
// BalanceErrorLimit (or either is NaN), else 0.
double SelectedMeasure(const FitMeasures& fit, const RunSettings& settings);

// The daily fit of the model's last simulation against the observed runoff.
// With outputFlag 1 it prints the two-line report and (unless told to skip it)
// rewrites the result file. Returns the selected measure.
double ComputeFit(RunoffModel& model, int outputFlag,
                  FitReportFile file = FitReportFile::kWrite);
// The same with the report written to `console`.
double ComputeFit(RunoffModel& model, int outputFlag, FitReportFile file,
                  std::ostream& console);

}  // namespace velm
