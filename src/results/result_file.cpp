#include "results/result_file.h"

namespace velm {

bool WriteCalibrationResult(RunoffModel&, std::ofstream& stream) {
  stream.close();
  return true;
}

bool WriteSimulationResult(RunoffModel&, int) { return true; }

void ReportUnwritableResultFile(const std::string&) {}

}  // namespace velm
