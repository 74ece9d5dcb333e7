#pragma once

// Reads back the result file that velm writes, in either of its layouts, so
// that a report can be made from it after the run. The reader is strict: a
// file that deviates from the layout is not a result file, and the error says
// on which line it stopped making sense.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velm::report {

struct NamedValue {
  std::string Name;  // tank values carry their number: "CoeffTank[2]"
  double Value;
};

struct DayRow {
  int Year;
  int Month;
  int Day;
  double Rain;
  double Observed;  // NaN when the file has no ObservedQ column
  double Calculated;
  double PotentialE;
  double ActualE;
  double Infiltration;  // the capacity at the start of the day, mm/h
};

// What only a calibration result holds.
struct CalibrationResult {
  std::vector<NamedValue> Initial;  // the parameter file's values
  std::vector<NamedValue> Optimized;
  double FinalObjective;
  std::vector<double> Genes;  // X[1] .. X[n]
};

struct ResultFile {
  std::vector<NamedValue> Parameters;  // the block above the daily rows
  int FitDays = 0;                     // as the summary line states it
  bool HasObserved = false;
  std::vector<DayRow> Days;
  std::optional<CalibrationResult> Calibration;
};

class NotAResultFile : public std::runtime_error {
 public:
  NotAResultFile(std::size_t lineNumber, const std::string& reason)
      : std::runtime_error("line " + std::to_string(lineNumber) + ": " +
                           reason) {}
};

// Throws NotAResultFile.
ResultFile ParseResultFile(std::string_view text);

// Parses a line such as " MAX_SoilMoisture  =150,   F18_SoilMoisture   =75"
// or "2 CoeffTank=0.005 BotomTank=0.002"; false if the line is not of that
// kind.
bool ParseNamedValues(std::string_view line, std::vector<NamedValue>& out);

}  // namespace velm::report
