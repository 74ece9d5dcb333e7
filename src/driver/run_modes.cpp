#include "driver/run_modes.h"

#include <vector>

#include "common/text_writer.h"
#include "driver/program.h"
#include "model/simulate.h"
#include "optimizer/bounds_check.h"
#include "optimizer/gene_map.h"
#include "optimizer/objective.h"
#include "optimizer/optimizer.h"
#include "optimizer/parameter_reports.h"
#include "optimizer/progress_report.h"
#include "results/fit.h"
#include "results/parameter_block.h"
#include "results/result_file.h"

namespace velm {
namespace {

Forcing ForcingOf(const Weather& weather, const RunSettings& settings) {
  return {weather.Rain, weather.PotentialE, settings.SurfaceStorageFlag == 1};
}

// A simulation's hourly series as daily totals, beside the inputs' own.
struct SimulatedDays {
  SimulatedDays(const Weather& weather, const HourlyOutputs& outputs)
      : CalcQ(weather.DayCount()), ActualE(weather.DayCount()) {
    SumDaily(outputs.CalcQ, CalcQ);
    SumDaily(outputs.ActualE, ActualE);
    Totals = {CalcQ, weather.DailyRain, weather.DailyPotentialE, ActualE, {}};
  }
  // Totals refers to the two vectors above.
  SimulatedDays(const SimulatedDays&) = delete;
  SimulatedDays& operator=(const SimulatedDays&) = delete;

  std::vector<double> CalcQ;
  std::vector<double> ActualE;
  DailyTotals Totals;
};

ResultStream OpenResult(RunInputs& inputs) {
  return OpenResultStream(inputs.PathOf(FileEntry::kResult),
                          inputs.Files().Name(FileEntry::kResult));
}

void WarnAboutBounds(std::ostream& errors, const ParameterSet& parameters,
                     const GeneMap& map) {
  const BoundsCheck check = CheckBounds(parameters, map);
  for (const std::string& warning :
       BoundsWarnings(check, map.VariableCount())) {
    errors << "velm: warning: " << warning << '\n';
  }
  errors << std::flush;
}

bool ReportProblems(std::ostream& errors,
                    const std::vector<std::string>& problems) {
  if (problems.empty()) return false;
  errors << "velm: the calibration ended without a valid parameter set; the "
            "result file holds the best set it scored:\n";
  for (const std::string& problem : problems) {
    errors << "velm:   " << problem << '\n';
  }
  errors << "velm: the parameter file's values are upper bounds that genes "
            "in [0, 1] scale; docs/calibration.md says how to choose bounds "
            "that work\n"
         << std::flush;
  return true;
}

}  // namespace

int RunSimulation(RunInputs& inputs, std::ostream& consoleStream,
                  std::ostream& errors) {
  const RunSettings& settings = inputs.Settings();
  const ParameterSet& parameters = inputs.FileParameters();
  const Weather& weather = inputs.WeatherRecord();
  TextWriter console(consoleStream, LineEnd::kLf);
  WriteParameterBlock(console, parameters, ParameterLayout::kEcho);
  HourlyOutputs outputs;
  Simulate(parameters, ForcingOf(weather, settings), outputs);

  SimulatedDays days(weather, outputs);
  const bool withObserved = settings.ObservedFlag == 1;
  FitMeasures fit;  // no day compared: 0 fit days, RE 0
  if (withObserved) {
    days.Totals.ObservedQ = inputs.Observed().Daily;
    fit = MeasureFit(days.Totals);
  }
  if (settings.OutputFlag != 1) return kExitOk;

  WriteSimulationSummary(console, fit);
  ResultStream result = OpenResult(inputs);
  TextWriter file(result.Stream, LineEnd::kCrLf);
  WriteSimulationLayout(file, parameters,
                        {weather.Dates, days.Totals, outputs.Infiltration}, fit,
                        withObserved);
  return CloseResultStream(result, errors) ? kExitOk : kExitFailed;
}

int RunCalibration(RunInputs& inputs, Clock clock, std::ostream& consoleStream,
                   std::ostream& errors) {
  const RunSettings& settings = inputs.Settings();
  const ParameterSet& parameters = inputs.FileParameters();
  const Weather& weather = inputs.WeatherRecord();
  const GeneMap map(settings);
  WarnAboutBounds(errors, parameters, map);

  // Whether it opens or not, the run goes on: writes to a failed stream are
  // skipped, and the failure is reported once, at the end.
  ResultStream result = OpenResult(inputs);
  TextWriter file(result.Stream, LineEnd::kCrLf);
  TextWriter console(consoleStream, LineEnd::kLf);
  WriteParameterBlock(console, parameters, ParameterLayout::kEcho);
  WriteInitialParameters(file, parameters);

  const Forcing forcing = ForcingOf(weather, settings);
  ModelObjective objective(
      parameters, map, forcing, weather.DailyRain,
      [&] { return std::span<const double>(inputs.Observed().Daily); },
      ObjectiveSettings::Of(settings), consoleStream);
  ProgressReport report(consoleStream, result.Stream, settings.OutputFlag == 1,
                        settings.VariableCount);
  Optimizer optimizer(settings.VariableCount, settings.FcountLimit,
                      std::move(clock));
  const CalibrationRecord record = optimizer.Run(objective, report);

  // The best genes simulated for the result block. The f reported is the
  // one the search stored.
  const Individual& best = record.Best;
  ParameterSet scaled = parameters;
  map.Apply(scaled, best.X);
  HourlyOutputs outputs;
  Simulate(scaled, forcing, outputs);
  SimulatedDays days(weather, outputs);
  days.Totals.ObservedQ = inputs.Observed().Daily;
  const FitMeasures fit = MeasureFit(days.Totals);

  WriteOptimizedParameters(file, scaled);
  report.FinalBest(best);
  report.Closing();
  WriteFitReport(console, fit, settings.ObjectiveType);
  WriteCalibrationLayout(file, scaled,
                         {weather.Dates, days.Totals, outputs.Infiltration},
                         fit, settings.ObjectiveType);
  const bool written = CloseResultStream(result, errors);
  const bool invalid =
      ReportProblems(errors, ResultProblems(best.X, best.f, parameters, map));
  if (!written) return kExitFailed;
  return invalid ? kExitInvalidResult : kExitOk;
}

}  // namespace velm
