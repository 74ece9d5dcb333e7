#pragma once

// One catchment as velm-study takes it up: checked, its periods placed in
// its record, and its two prepared directories written and read back.

#include <filesystem>
#include <string>
#include <variant>

#include "study/calendar.h"
#include "study/core_adapter.h"
#include "study/options.h"
#include "study/prepared_record.h"

namespace velm::study {

struct PreparedCatchment {
  std::string Name;
  std::filesystem::path Folder;  // OUT/NAME
  DateRange CalibrationDates;
  DateRange ValidationDates;
  PeriodLayout Calibration;
  PeriodLayout Validation;
  CatchmentData CalibrationData;  // as velm reads OUT/NAME/calibration
  CatchmentData ValidationData;   // as velm reads OUT/NAME/validation
};

// Why a catchment cannot be studied, and what to do about it.
struct Refusal {
  std::string Message;
};

// The minimum of days with observed runoff in each period.
inline constexpr int kMinimumFitDays = 30;

// Checks `source` as velm-check does and as the study needs it, places the
// periods and writes the prepared directories into `folder`.
std::variant<PreparedCatchment, Refusal> PrepareCatchment(
    const std::filesystem::path& source, const std::string& name,
    const StudyOptions& options, const std::filesystem::path& folder);

// The prepared directory of a period in a catchment's folder.
std::filesystem::path PreparedDirectory(const std::filesystem::path& folder,
                                        PeriodKind kind);

// The record is written as text, the way it is read.
void WriteText(const std::filesystem::path& path, std::string_view text);

}  // namespace velm::study
