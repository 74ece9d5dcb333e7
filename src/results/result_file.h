#pragma once

// The result file: the parameters, a summary and one comma-separated row per
// day, in code page 932 with CR LF line ends.

#include <fstream>
#include <string>

#include "model/runoff_model.h"

namespace velm {

// The result file named by FILEINFO.dat (read again for it), opened to be
// replaced. A name that cannot be created leaves the stream failed; writes to
// it are lost until CloseResultFile reports it.
struct ResultFile {
  std::string Name;
  std::ofstream Stream;
};
ResultFile OpenResultFile();
// Closes the file; if anything written to it was lost, says so on standard
// error and returns false.
bool CloseResultFile(ResultFile& file);

// The one line on standard error for a result file that could not be written.
void ReportUnwritableResultFile(const std::string& name);

// After a calibration: appends the result block of the model's last
// simulation to the run's result file and closes it; the console gets the
// two fit-report lines whatever the output flag. Returns false when not
// everything written to `stream` over the run reached the file.
bool WriteCalibrationResult(RunoffModel& model, std::ofstream& stream);

// After a simulation: with outputFlag 1 the console summary and the result
// file. Returns false when the result file could not be written.
bool WriteSimulationResult(RunoffModel& model, int outputFlag);

}  // namespace velm
