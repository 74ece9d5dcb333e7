#pragma once

// The result file: the parameters, a summary and one comma-separated row per
// day, in code page 932 with CR LF line ends.

#include <filesystem>
#include <fstream>
#include <ostream>
#include <span>
#include <string>

#include "common/text_writer.h"
#include "input/series.h"
#include "model/parameter_set.h"
#include "results/fit.h"

namespace velm {

// The result file opened to be replaced. A path that cannot be created
// leaves the stream failed; writes to it are lost until CloseResultStream
// reports it.
struct ResultStream {
  std::string Name;  // as FILEINFO.dat writes it, for messages
  std::ofstream Stream;
};
ResultStream OpenResultStream(const std::filesystem::path& path,
                              std::string name);
// Closes the file; if anything written to it was lost, says so on `errors`
// and returns false.
bool CloseResultStream(ResultStream& result, std::ostream& errors);
// The one line on standard error for a result file that could not be
// written.
void ReportUnwritableResult(std::ostream& errors, const std::string& name);

// What the daily rows show: the date, the daily totals and the capacity at
// the start of each day.
struct DailyRows {
  const Calendar& Dates;
  DailyTotals Days;
  std::span<const double> Infiltration;  // hourly; entry 24·i starts day i
};

// The calibration layout: parameters, the fit summary with the water
// balance, columns and daily rows with observed runoff.
void WriteCalibrationLayout(TextWriter& file, const ParameterSet& parameters,
                            const DailyRows& rows, const FitMeasures& fit,
                            int objectiveType);

// The simulation layout: parameters, the relative error alone, and rows with
// or without the observed runoff.
void WriteSimulationLayout(TextWriter& file, const ParameterSet& parameters,
                           const DailyRows& rows, const FitMeasures& fit,
                           bool withObserved);

// "day= <fit days>　相対誤差=<RE>": the console summary of a simulation.
void WriteSimulationSummary(TextWriter& console, const FitMeasures& fit);

}  // namespace velm
