#include "study/core_adapter.h"

#include <memory>
#include <sstream>

#include "common/text_writer.h"
#include "input/run_inputs.h"
#include "optimizer/gene_map.h"
#include "results/calibration_reports.h"
#include "results/efficiency.h"
#include "results/result_file.h"
#include "run/simulation_run.h"

namespace velm::study {

CatchmentData ReadCatchment(const std::filesystem::path& directory) {
  return CatchmentData::Read(std::make_shared<RunInputs>(directory));
}

ObjectiveSettings StudyObjectiveSettings(const RunSettings& run,
                                         StudyObjective objective) {
  ObjectiveSettings settings{run.OutputFlag, run.ObjectiveType,
                             run.BalanceErrorLimit, {}, false};
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

StartOutcome CalibrateStart(const CatchmentData& data,
                            const StartSettings& start, std::ostream& console,
                            std::ostream& resultFile) {
  const RunSettings& control = data.Settings;
  const ObjectiveSettings objective =
      StudyObjectiveSettings(control, start.Objective);
  RunSettings searched = control;
  searched.ObjectiveType = objective.ObjectiveType;
  // The reports name the control file's measure, as velm's do.
  ConsoleProgress onConsole(console, control.ObjectiveType);
  ResultFileProgress inFile(resultFile, control.OutputFlag == 1,
                            control.ObjectiveType);
  ProgressTee progress({&onConsole, &inFile});
  CalibrationOptions options;
  options.ThreadCount = start.Threads;
  options.Search = start.Search;
  options.Seed = start.Seed;
  options.Measure = objective.Measure;
  // A prepared record is observed in its period alone, after its warm-up.
  options.EndAtLastFitDay = true;
  const CalibrationOutcome outcome =
      Calibrate(searched.ObjectiveType == control.ObjectiveType
                    ? data
                    : data.WithSettings(searched),
                options, progress);
  return {outcome.Record.Best.f,
          outcome.Problems,
          outcome.Best.Parameters,
          outcome.Record.Fcount,
          outcome.Counts.Simulations,
          outcome.Best.Scores};
}

SimulationRun SimulateDays(const CatchmentData& data,
                           const ParameterSet& parameters) {
  return SimulateCatchment(data, parameters, true, Detail::kDaily);
}

std::string SimulationResultFile(const CatchmentData& data,
                                 const ParameterSet& parameters) {
  const SimulationRun run = SimulateCatchment(data, parameters, true);
  std::ostringstream text;
  TextWriter file(text, LineEnd::kCrLf);
  WriteSimulationLayout(file, run.Parameters, run.Rows(), run.Fit, true);
  return std::move(text).str();
}

std::vector<std::pair<std::string, double>> CalibratedValues(
    const CatchmentData& data, const ParameterSet& parameters) {
  const GeneMap map(data.Settings.VariableCount, data.Settings.OptIndex);
  std::vector<std::pair<std::string, double>> values;
  for (const ScaledParameter& p : map.Parameters(parameters.TankCount)) {
    if (p.Gene > 0) {
      values.emplace_back(p.Parameter.Name(), p.Parameter.ValueIn(parameters));
    }
  }
  return values;
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
