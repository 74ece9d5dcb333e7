#pragma once

// The calibration: six sub-populations of gene vectors evolve in epochs, and
// the best parameter set found is reported.

#include "input/parameter_set.h"
#include "input/run_settings.h"

namespace velm {

class Optimizer {
 public:
  // Reads its own settings (FILEINFO.dat, then the control file).
  Optimizer();

  // The whole calibration. Returns false when the result file could not be
  // written completely.
  bool Run(int outputFlag);

  RunSettings Settings;
  ParameterSet Parameters;
};

}  // namespace velm
