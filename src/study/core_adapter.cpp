#include "study/core_adapter.h"

#include <algorithm>
#include <sstream>

#include "common/text_writer.h"
#include "input/run_inputs.h"
#include "model/simulate.h"
#include "optimizer/bounds_check.h"
#include "optimizer/dds.h"
#include "optimizer/objective.h"
#include "optimizer/optimizer.h"
#include "optimizer/parameter_reports.h"
#include "optimizer/progress_report.h"
#include "results/efficiency.h"
#include "results/fit.h"
#include "results/parameter_block.h"
#include "results/result_file.h"

namespace velm::study {
namespace {

Forcing ForcingOf(const RunData& data) {
  return {data.Record.Rain, data.Record.PotentialE,
          data.Settings.SurfaceStorageFlag == 1};
}

// What the search simulates: the record up to its last fit day, with the
// whole record's warm-up pass. The days after the last fit day change no
// f, since the model runs forward and the fit counts fit days alone, so an
// evaluation gives the bits it gives over the whole record.
struct FitRecord {
  Forcing Weather;
  std::span<const double> DailyRain;
  std::span<const double> DailyObserved;
};
FitRecord FitRecordOf(const RunData& data) {
  const std::vector<double>& observed = data.Observed.Daily;
  const auto lastFit = std::find_if(observed.rbegin(), observed.rend(), IsFitDay);
  const int hours = data.Record.HourCount();
  const int warmUp = WarmUpSteps(hours);
  const int days = std::max(
      static_cast<int>(observed.rend() - lastFit),
      (warmUp + kHoursPerDay - 1) / kHoursPerDay);
  if (lastFit == observed.rend() || days >= data.Record.DayCount()) {
    return {ForcingOf(data), data.Record.DailyRain, observed};
  }
  const auto stepCount = static_cast<std::size_t>(days * kHoursPerDay);
  const auto dayCount = static_cast<std::size_t>(days);
  Forcing forcing = ForcingOf(data);
  forcing.Rain = forcing.Rain.first(stepCount);
  forcing.PotentialE = forcing.PotentialE.first(stepCount);
  forcing.WarmUpHours = warmUp;
  return {forcing, std::span(data.Record.DailyRain).first(dayCount),
          std::span(observed).first(dayCount)};
}

}  // namespace

ObjectiveSettings StudyObjectiveSettings(const RunSettings& run,
                                         StudyObjective objective) {
  ObjectiveSettings settings = ObjectiveSettings::Of(run);
  const auto loss = [](Efficiency e) {
    return [e](std::span<const double> observed,
               std::span<const double> calculated) {
      return EfficiencyLoss(e, observed, calculated);
    };
  };
  switch (objective) {
    case StudyObjective::kControl:
      break;
    case StudyObjective::kRmse:
      settings.ObjectiveType = 1;
      break;
    case StudyObjective::kNse:
      settings.Measure = loss(Efficiency::kNse);
      break;
    case StudyObjective::kKge:
      settings.Measure = loss(Efficiency::kKge);
      break;
    case StudyObjective::kLogNse:
      settings.Measure = loss(Efficiency::kLogNse);
      break;
  }
  return settings;
}

namespace {

// A simulation with its hourly outputs and its daily totals beside the
// record's.
struct RecordRun {
  RecordRun(const RunData& data, const ParameterSet& parameters)
      : CalcQ(static_cast<std::size_t>(data.Record.DayCount())),
        ActualE(CalcQ.size()) {
    Simulate(parameters, ForcingOf(data), Hourly);
    SumDaily(Hourly.CalcQ, CalcQ);
    SumDaily(Hourly.ActualE, ActualE);
    Fit = MeasureFit(Totals(data));
  }
  DailyTotals Totals(const RunData& data) const {
    return {CalcQ, data.Record.DailyRain, data.Record.DailyPotentialE, ActualE,
            data.Observed.Daily};
  }
  DailyRows Rows(const RunData& data) const {
    return {data.Record.Dates, Totals(data), Hourly.Infiltration};
  }

  HourlyOutputs Hourly;
  std::vector<double> CalcQ;
  std::vector<double> ActualE;
  FitMeasures Fit;
};

}  // namespace

RunData ReadRunData(const std::filesystem::path& directory) {
  RunInputs inputs(directory);
  inputs.Files();
  RunData data;
  data.Settings = inputs.Settings();
  data.Record = inputs.WeatherRecord();
  data.Parameters = inputs.FileParameters();
  data.Observed = inputs.Observed();
  return data;
}

StartOutcome CalibrateStart(const RunData& data, const StartSettings& settings,
                            std::ostream& consoleStream,
                            std::ostream& resultFile) {
  const RunSettings& run = data.Settings;
  const GeneMap map(run);
  TextWriter file(resultFile, LineEnd::kCrLf);
  TextWriter console(consoleStream, LineEnd::kLf);
  WriteParameterBlock(console, data.Parameters, ParameterLayout::kEcho);
  WriteInitialParameters(file, data.Parameters);

  const FitRecord fit = FitRecordOf(data);
  ModelObjective objective(
      data.Parameters, map, fit.Weather, fit.DailyRain,
      [&] { return fit.DailyObserved; },
      StudyObjectiveSettings(run, settings.Objective), consoleStream,
      settings.Threads);
  ProgressReport report(consoleStream, resultFile, run.OutputFlag == 1,
                        run.VariableCount);
  StartOutcome outcome;
  Individual best;
  if (settings.Search == SearchKind::kEvolution) {
    Optimizer optimizer(run.VariableCount, run.FcountLimit,
                        SeedClock(settings.Seed));
    const CalibrationRecord record = optimizer.Run(objective, report);
    best = record.Best;
    outcome.Evaluations = record.Fcount;
  } else {
    DynamicallyDimensionedSearch search(
        run.VariableCount, std::max(run.FcountLimit, EpochEvaluations()),
        settings.Seed);
    const DdsRecord record = search.Run(objective);
    best = record.Best;
    outcome.Evaluations = record.Evaluations;
  }
  outcome.Simulations = objective.EvaluationCounts().Simulations;

  outcome.Calibrated = data.Parameters;
  map.Apply(outcome.Calibrated, best.X);
  const RecordRun last(data, outcome.Calibrated);
  WriteOptimizedParameters(file, outcome.Calibrated);
  report.FinalBest(best);
  report.Closing();
  WriteFitReport(console, last.Fit, run.ObjectiveType);
  WriteCalibrationLayout(file, outcome.Calibrated, last.Rows(data), last.Fit,
                         run.ObjectiveType);
  outcome.X = best.X;
  outcome.F = best.f;
  outcome.Problems = ResultProblems(best.X, best.f, data.Parameters, map);
  outcome.DailyCalcQ = last.CalcQ;
  return outcome;
}

std::vector<double> SimulateDays(const RunData& data,
                                 const ParameterSet& parameters) {
  DailyOutputs outputs;
  Simulate(parameters, ForcingOf(data), outputs);
  return std::move(outputs.CalcQ);
}

std::string SimulationResultFile(const RunData& data,
                                 const ParameterSet& parameters) {
  const RecordRun simulation(data, parameters);
  std::ostringstream text;
  TextWriter file(text, LineEnd::kCrLf);
  WriteSimulationLayout(file, parameters, simulation.Rows(data),
                        simulation.Fit, true);
  return std::move(text).str();
}

std::vector<std::pair<std::string, double>> CalibratedValues(
    const RunData& data, const ParameterSet& parameters) {
  const auto valueOf = [&](const std::string& name) {
    for (const std::span<const ParameterField> fields :
         {std::span<const ParameterField>(kFileScalars),
          std::span<const ParameterField>(kDerivedScalars)}) {
      for (const ParameterField& field : fields) {
        if (name == field.Name) return parameters.*(field.Member);
      }
    }
    // "CoeffTank[i]" or "BotomTank[i]".
    const int tank = std::stoi(name.substr(name.find('[') + 1));
    const auto& tanks =
        name.starts_with("CoeffTank") ? parameters.CoeffTank : parameters.BotomTank;
    return tanks[static_cast<std::size_t>(tank)];
  };
  std::vector<std::pair<std::string, double>> values;
  for (const ScaledParameter& p :
       GeneMap(data.Settings).Parameters(parameters.TankCount)) {
    if (p.Gene > 0) values.emplace_back(p.Name, valueOf(p.Name));
  }
  return values;
}

Scores ScoreDays(std::span<const double> observed,
                 std::span<const double> calculated) {
  return ComputeScores(observed, calculated);
}

std::string ObjectiveName(StudyObjective objective,
                          const RunSettings& settings) {
  switch (objective) {
    case StudyObjective::kRmse:
      return "rmse";
    case StudyObjective::kNse:
      return "nse";
    case StudyObjective::kKge:
      return "kge";
    case StudyObjective::kLogNse:
      return "lognse";
    case StudyObjective::kControl:
      break;
  }
  switch (settings.ObjectiveType) {
    case 1:
      return "rmse";
    case 2:
      return "rr";
    case 3:
      return "re";
    default:
      return "balance";
  }
}

}  // namespace velm::study
