#pragma once

// velm-study's command line.

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/calibration.h"
#include "study/calendar.h"

namespace velm::study {

// kControl: the control file's objective; the others replace it in the
// study's own searches.
enum class StudyObjective { kControl, kRmse, kNse, kKge, kLogNse };

std::string_view SearchName(SearchKind search);

struct StudyOptions {
  // Both or neither; neither: the default split.
  std::optional<DateRange> Calibration;
  std::optional<DateRange> Validation;
  int WarmupDays = 365;
  YearStart HydrologicalYear;
  StudyObjective Objective = StudyObjective::kControl;
  int Starts = 10;
  int Seed = 1;
  SearchKind Search = SearchKind::kEvolution;
  int Jobs = 0;  // 0: one per core
  std::string Output = "velm-study";
  bool Keep = false;
  // One catchment of run Run (a task of a job array), or only the
  // collection of run Run's outputs.
  std::optional<int> Task;
  bool CollectOnly = false;
  std::string Run;
  std::vector<std::string> Directories;
  bool Help = false;
  bool Version = false;
};

// A command line that cannot be run; exit code 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

StudyOptions ParseOptions(std::span<const std::string> arguments);

extern const char* const kUsage;

}  // namespace velm::study
