#pragma once

// The catchment directory velm-study prepares for each period, which velm
// runs as it runs any other.
//
// velm runs a warm-up pass over the first sixth of whatever record it is
// given, and the tanks carry the pass's state into the main pass; the tank
// cascade only drains what it starts with. A record cut to a period alone
// would so start its period from a state that depends on the period's
// length. Every prepared record therefore has the length of the catchment's
// whole record: it begins on the warm-up's first day, holds the catchment's
// rain and evaporation from there on (dry days once the record has ended),
// and observed runoff on the period's days alone, so that only they are fit
// days. Each period then starts as velm starts the whole record when the
// record begins on the warm-up's first day: whatever the period's length,
// and alike for calibration and validation.

#include <string>
#include <string_view>

#include "common/text_lines.h"
#include "study/calendar.h"

namespace velm::study {

struct PeriodLayout {
  DayRange Period;      // days of the catchment's record
  int WarmupDays = 0;   // the days before the period that it runs first
  int RecordDays = 0;   // the prepared record's length
  int FirstDay() const { return Period.First - WarmupDays; }
};

// The warm-up asked for, or the days the record holds before the period.
PeriodLayout LayoutFor(DayRange period, int warmupDays, int recordDays);

// A catchment's files as read: the data files by lines, as velm reads them,
// the control and parameter files as their bytes.
struct SourceFiles {
  const TextLines& Rain;
  const TextLines& Evaporation;
  const TextLines& Observed;
  std::string_view Control;
  std::string_view Parameters;
  const RecordCalendar& Calendar;
};

enum class PeriodKind { kCalibration, kValidation };

struct PreparedFiles {
  std::string FileInfo;
  std::string Control;
  std::string Parameters;
  std::string Rain;
  std::string Evaporation;
  std::string Observed;
};

// The files of the prepared directory, with the same names wherever they
// come from. The calibration's control file is the catchment's; the
// validation's asks for a simulation compared with the observed runoff and
// written out (control lines 5, 7 and 9).
PreparedFiles PrepareFiles(const SourceFiles& source, const PeriodLayout& layout,
                           PeriodKind kind, std::string_view heading);

// `text` with line `number` (from 1) holding `value`, its line end kept;
// missing lines are added empty.
std::string WithLine(std::string_view text, std::size_t number,
                     std::string_view value);

}  // namespace velm::study
