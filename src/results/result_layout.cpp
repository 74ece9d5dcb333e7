#include "results/result_layout.h"

#include <string_view>

#include "common/result_text.h"
#include "common/texts.h"

namespace velm {
namespace {

void WriteParameterBlock(TextWriter& out, const ParameterSet& p) {
  out << text::kParameterTitle << kEndLine;
  out << " MAX_SoilMoisture  =" << p.MAX_SoilMoisture
      << ",   F18_SoilMoisture   =" << p.F18_SoilMoisture << kEndLine;
  out << " MAX_Infiltration  =" << p.MAX_Infiltration
      << ",   F18_Infiltration   =" << p.F18_Infiltration << kEndLine;
  out << " Coeff_Reduction   =" << p.Coeff_Reduction
      << ",   Final_Infiltration  =" << p.Final_Infiltration << kEndLine;
  out << " MAX_EvapoRatio    =" << p.MAX_EvapoRatio
      << ",  Coeff_EvapoModel    =" << p.Coeff_EvapoModel << kEndLine;
  out << kEndLine;
  out << " Impervious            =" << p.Impervious << kEndLine;
  out << " CoeffSurfaceTopTank   =" << p.CoeffSurfaceTopTank
      << ",  CoeffSurfaceBotomTank =" << p.CoeffSurfaceBotomTank << kEndLine;
  out << " HighSurfaceTopTank    =" << p.HighSurfaceTopTank
      << ",  HighSurfaceBotomTank  =" << p.HighSurfaceBotomTank << kEndLine;
  for (int i = 1; i <= p.TankCount; ++i) {
    out << i << " CoeffTank=" << p.CoeffTank[i]
        << ", BotomTank=" << p.BotomTank[i] << kEndLine;
  }
  out << kEndLine << kEndLine;
}

// The selected measure with its label and line end; for an ObjectiveType
// without a measure nothing, not even the line end, so that the next line
// continues this one.
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

void WriteDailyRows(TextWriter& out, const RunoffModel& model,
                    const DailyTotals& days, bool withObserved) {
  if (withObserved) {
    out << text::kColumnsWithObserved << kEndLine;
  } else {
    out << text::kColumnsWithoutObserved << kEndLine;
  }
  const HydroSeries& series = model.Series;
  for (int i = 0; i < model.DayCount(); ++i) {
    const auto day = static_cast<std::size_t>(i);
    out << i << "," << series.Year[day] << "," << series.Month[day] << ","
        << series.Day[day] << "," << days.Rain[day] << ",";
    if (withObserved) out << days.ObservedQ[day] << ",";
    out << days.CalcQ[day] << "," << days.PotentialE[day] << ","
        << days.ActualE[day] << "," << model.Infiltration[kHoursPerDay * day]
        << "," << kEndLine;
  }
}

}  // namespace

void WriteFitReport(TextWriter& console, const FitMeasures& fit,
                    int objectiveType) {
  console << "day= " << fit.FitDays;
  WriteSelectedMeasure(console, fit, objectiveType);
  WriteWaterBalance(console, fit);
}

void WriteCalibrationLayout(TextWriter& file, const RunoffModel& model,
                            const DailyTotals& days, const FitMeasures& fit) {
  WriteParameterBlock(file, model.Parameters);
  file << text::kResultHeading << fit.FitDays << text::kDays;
  WriteSelectedMeasure(file, fit, model.Settings.ObjectiveType);
  WriteWaterBalance(file, fit);
  WriteDailyRows(file, model, days, true);
}

void WriteSimulationLayout(TextWriter& file, const RunoffModel& model,
                           const DailyTotals& days, const FitMeasures& fit,
                           bool withObserved) {
  WriteParameterBlock(file, model.Parameters);
  if (withObserved) {
    file << text::kResultHeading << fit.FitDays << text::kDaysRelativeError
         << fit.RE << kEndLine;
  } else {
    // No day was compared.
    file << text::kResultHeading << 0 << text::kDays << kEndLine;
  }
  WriteDailyRows(file, model, days, withObserved);
}

}  // namespace velm
