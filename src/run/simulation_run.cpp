#include "run/simulation_run.h"

#include "optimizer/gene_map.h"

namespace velm {
namespace {

std::vector<double> DailySums(std::span<const double> hourly,
                              std::size_t days) {
  std::vector<double> sums(days);
  SumDaily(hourly, sums);
  return sums;
}

}  // namespace

DailyTotals SimulationRun::Totals() const {
  const Weather& w = *WeatherRecord;
  return {DailyCalcQ, w.DailyRain, w.DailyPotentialE, DailyActualE,
          Observed ? std::span<const double>(Observed->Daily)
                   : std::span<const double>()};
}

DailyRows SimulationRun::Rows() const {
  return {WeatherRecord->Dates, Totals(), Hourly.Infiltration};
}

SimulationRun SimulateCatchment(const CatchmentData& data,
                                const ParameterSet& parameters, bool compare,
                                Detail detail) {
  SimulationRun run;
  run.Parameters = parameters;
  run.WeatherRecord = data.WeatherRecord;
  const Weather& w = *run.WeatherRecord;
  const Forcing forcing{w.Rain, w.PotentialE,
                        data.Settings.SurfaceStorageFlag == 1};
  const auto days = static_cast<std::size_t>(w.DayCount());
  if (detail == Detail::kHourly) {
    Simulate(parameters, forcing, run.Hourly);
    run.DailyCalcQ = DailySums(run.Hourly.CalcQ, days);
    run.DailyActualE = DailySums(run.Hourly.ActualE, days);
    run.DailyInfiltration.resize(days);
    for (std::size_t d = 0; d < days; ++d) {
      run.DailyInfiltration[d] = run.Hourly.Infiltration[kHoursPerDay * d];
    }
  } else {
    DailyOutputs outputs;
    Simulate(parameters, forcing, outputs);
    run.DailyCalcQ = std::move(outputs.CalcQ);
    run.DailyActualE = std::move(outputs.ActualE);
    run.Hourly.TankWaterDepth = std::move(outputs.TankWaterDepth);
  }
  if (compare && data.Observed) run.Observed = data.Observed();
  if (run.Observed) {
    run.Fit = MeasureFit(run.Totals());
    run.Scores = ComputeScores(run.Observed->Daily, run.DailyCalcQ);
  }
  const RunSettings& s = data.Settings;
  run.F = SelectedMeasure(run.Fit, s.ObjectiveType, s.BalanceErrorLimit) +
          ConstraintPenalty(parameters);
  return run;
}

}  // namespace velm
