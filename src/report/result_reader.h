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
  std::string name;  // tank values carry their number: "CoeffTank[2]"
  double value;
};

struct DayRow {
  int year;
  int month;
  int day;
  double rain;
  double observed;  // NaN when the file has no ObservedQ column
  double calculated;
  double potentialE;
  double actualE;
  double infiltration;
};

// What only a calibration result holds.
struct Calibration {
  std::vector<NamedValue> initial;
  std::vector<NamedValue> optimized;
  double finalObjective;
  std::vector<double> genes;  // X[1] .. X[n]
};

struct ResultFile {
  std::vector<NamedValue> parameters;  // the block above the daily rows
  int fitDays = 0;                     // as the summary line states it
  bool hasObserved = false;
  std::vector<DayRow> days;
  std::optional<Calibration> calibration;
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
