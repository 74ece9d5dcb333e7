#include "results/fit.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>

#include "common/text_writer.h"
#include "results/result_file.h"
#include "results/result_layout.h"

namespace velm {
namespace {

// The hours of a day as an index count.
constexpr std::size_t kDayLength = kHoursPerDay;

std::vector<double> SumDays(std::span<const double> steps) {
  std::vector<double> days(steps.size() / kDayLength);
  SumDaily(steps, days);
  return days;
}

}  // namespace

DailyTotals SumModelDays(const RunoffModel& model) {
  DailyTotals days;
  days.CalcQ = SumDays(model.CalcQ);
  // The inputs' totals are summed once per run.
  const auto weather = model.Inputs().WeatherRecord();
  days.Rain = weather->DailyRain;
  days.PotentialE = weather->DailyPotentialE;
  days.ActualE = SumDays(model.ActualE);
  return days;
}

void AddObservedDays(RunoffModel& model, DailyTotals& days) {
  const auto observed = model.Inputs().Observed();
  std::copy(observed->Hourly.begin(), observed->Hourly.end(),
            model.ObservedQ.begin());
  days.ObservedQ = observed->Daily;
}

FitMeasures MeasureFit(const DailyTotals& days) {
  FitMeasures fit;
  double s1 = 0.0, s2 = 0.0, s3 = 0.0;
  for (std::size_t k = 0; k < days.ObservedQ.size(); ++k) {
    const double qo = days.ObservedQ[k];
    const double qc = days.CalcQ[k];
    if (!(qo > 0)) continue;  // unobserved (or NaN) days do not count
    ++fit.FitDays;
    const double d = qc - qo;
    s1 += d * d;
    s2 += (d * d) / (qo * qo);
    s3 += std::fabs(qo - qc) / qo;
    fit.SumRain += days.Rain[k];
    fit.SumObservedQ += qo;
    fit.SumCalcQ += qc;
    fit.SumActualE += days.ActualE[k];
  }
  const double n = fit.FitDays;
  fit.RMSE = std::sqrt(s1 / n);
  fit.RR = std::sqrt(s2 / n);
  fit.RE = 100 * s3 / n;
  fit.BalanceRatio =
      std::fabs(fit.SumCalcQ - fit.SumObservedQ) / fit.SumObservedQ;
  return fit;
}

double SelectedMeasure(const FitMeasures& fit, const RunSettings& settings) {
  switch (settings.ObjectiveType) {
    case 1:
      return fit.RMSE;
    case 2:
      return fit.RR;
    case 3:
      return fit.RE;
    default:
      // Written as "not at least" so that a NaN on either side scores too.
      return !(fit.BalanceRatio >= settings.BalanceErrorLimit)
                 ? 10 * fit.BalanceRatio
                 : 0.0;
  }
}

double ComputeFit(RunoffModel& model, int outputFlag, FitReportFile file) {
  return ComputeFit(model, outputFlag, file, std::cout);
}

double ComputeFit(RunoffModel& model, int outputFlag, FitReportFile file,
                  std::ostream& consoleStream) {
  DailyTotals days = SumModelDays(model);
  AddObservedDays(model, days);
  const FitMeasures fit = MeasureFit(days);
  if (outputFlag == 1) {
    TextWriter console(consoleStream, LineEnd::kLf);
    WriteFitReport(console, fit, model.Settings.ObjectiveType);
    if (file == FitReportFile::kWrite) {
      ResultFile result = OpenResultFile();
      TextWriter out(result.Stream, LineEnd::kCrLf);
      WriteCalibrationLayout(out, model, days, fit);
      CloseResultFile(result);
    }
  }
  return SelectedMeasure(fit, model.Settings);
}

}  // namespace velm
