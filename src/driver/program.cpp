#include "driver/program.h"

#include <iostream>
#include <new>

#include "common/input_error.h"
#include "input/run_inputs.h"
#include "input/run_settings.h"
#include "model/runoff_model.h"
#include "optimizer/optimizer.h"
#include "results/result_file.h"

namespace velm {

int RunProgram() {
  // Every file is read once, at the point where it is first needed.
  const auto inputs = std::make_shared<RunInputs>();
  RunoffModel model(inputs);
  const RunSettings& settings = inputs->Settings();
  Optimizer optimizer(SystemClock(), inputs);
  bool resultWritten = true;
  if (settings.RunMode != 0) {
    resultWritten = optimizer.Run(settings.OutputFlag);
  } else {
    model.Simulate(0);
    resultWritten = WriteSimulationResult(model, settings.OutputFlag);
  }
  return resultWritten ? 0 : 1;
}

int RunProgramReportingErrors() {
  try {
    return RunProgram();
  } catch (const InputError& error) {
    std::cout << error.Message() << "\n\n" << std::flush;
  } catch (const std::bad_alloc&) {
    std::cerr << "velm: out of memory\n";
  }
  return 1;
}

}  // namespace velm
