#include "driver/run_modes.h"

#include <string>
#include <vector>

#include "common/text_writer.h"
#include "driver/program.h"
#include "results/calibration_reports.h"
#include "results/parameter_block.h"
#include "results/result_file.h"
#include "run/simulation_run.h"

namespace velm {
namespace {

ResultStream OpenResult(RunInputs& inputs) {
  return OpenResultStream(inputs.PathOf(FileEntry::kResult),
                          inputs.Files().Name(FileEntry::kResult));
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
            "in [0, 1] scale; README, Calibration, says how to choose bounds "
            "that work\n"
         << std::flush;
  return true;
}

}  // namespace

int RunSimulation(const CatchmentData& data, RunInputs& inputs,
                  std::ostream& consoleStream, std::ostream& errors) {
  const RunSettings& settings = data.Settings;
  TextWriter console(consoleStream, LineEnd::kLf);
  WriteParameterBlock(console, data.Parameters, ParameterLayout::kEcho);
  const bool withObserved = settings.ObservedFlag == 1;
  const SimulationRun run =
      SimulateCatchment(data, data.Parameters, withObserved);
  if (settings.OutputFlag != 1) return kExitOk;

  WriteSimulationSummary(console, run.Fit);
  ResultStream result = OpenResult(inputs);
  TextWriter file(result.Stream, LineEnd::kCrLf);
  WriteSimulationLayout(file, run.Parameters, run.Rows(), run.Fit,
                        withObserved);
  return CloseResultStream(result, errors) ? kExitOk : kExitFailed;
}

int RunCalibration(const CatchmentData& data, RunInputs& inputs, Clock clock,
                   std::ostream& console, std::ostream& errors,
                   CalibrationOutcome* found) {
  for (const std::string& warning : CalibrationWarnings(data)) {
    errors << "velm: warning: " << warning << '\n';
  }
  errors << std::flush;

  // Whether it opens or not, the run goes on: writes to a failed stream are
  // skipped, and the failure is reported once, at the end.
  ResultStream result = OpenResult(inputs);
  const RunSettings& settings = data.Settings;
  ConsoleProgress onConsole(console, settings.ObjectiveType);
  ResultFileProgress inFile(result.Stream, settings.OutputFlag == 1,
                            settings.ObjectiveType);
  ProgressTee progress({&onConsole, &inFile});
  CalibrationOutcome outcome =
      Calibrate(data, {std::move(clock)}, progress);

  const bool written = CloseResultStream(result, errors);
  const bool invalid = ReportProblems(errors, outcome.Problems);
  if (found != nullptr) *found = std::move(outcome);
  if (!written) return kExitFailed;
  return invalid ? kExitInvalidResult : kExitOk;
}

}  // namespace velm
