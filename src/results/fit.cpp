#include "results/fit.h"

#include <cmath>

#include "common/texts.h"

namespace velm {

FitMeasures MeasureFit(const DailyTotals& days) {
  FitMeasures fit;
  double s1 = 0.0, s2 = 0.0, s3 = 0.0;
  for (std::size_t k = 0; k < days.ObservedQ.size(); ++k) {
    const double qo = days.ObservedQ[k];
    const double qc = days.CalcQ[k];
    if (!IsFitDay(qo)) continue;  // unobserved (or NaN) days do not count
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

double SelectedMeasure(const FitMeasures& fit, int objectiveType,
                       double balanceErrorLimit) {
  switch (objectiveType) {
    case 1:
      return fit.RMSE;
    case 2:
      return fit.RR;
    case 3:
      return fit.RE;
    default:
      // Written as "not at least" so that a NaN on either side scores too.
      return !(fit.BalanceRatio >= balanceErrorLimit) ? 10 * fit.BalanceRatio
                                                      : 0.0;
  }
}

void WriteSelectedMeasure(TextWriter& out, const FitMeasures& fit,
                          int objectiveType) {
  switch (objectiveType) {
    case 1:
      out << text::kRmseLabel << fit.RMSE << kEndLine;
      break;
    case 2:
      out << text::kRrLabel << fit.RR << kEndLine;
      break;
    case 3:
      out << text::kReLabel << fit.RE << kEndLine;
      break;
    default:
      break;
  }
}

void WriteWaterBalance(TextWriter& out, const FitMeasures& fit) {
  out << text::kBalanceRain << fit.SumRain << text::kBalanceObserved
      << fit.SumObservedQ << text::kBalanceCalculated << fit.SumCalcQ
      << text::kBalanceEvaporation << fit.SumActualE << kEndLine;
}

void WriteFitReport(TextWriter& console, const FitMeasures& fit,
                    int objectiveType) {
  console << "day= " << fit.FitDays;
  WriteSelectedMeasure(console, fit, objectiveType);
  WriteWaterBalance(console, fit);
}

}  // namespace velm
