#pragma once

// The fixed ASCII lines of the result file, which velm writes and
// velm-report reads back: one copy, so that the two never drift apart.

#include <string_view>

namespace velm::text {

inline constexpr std::string_view kParameterTitle =
    "*** Velm-Model Calculation *** Parameter";
inline constexpr std::string_view kInitialParameterHeading =
    " ************* Initial Parameter ************* ";
inline constexpr std::string_view kOptimizedParameterHeading =
    " ************* Optimaization Parameter ************* ";
// Closes the optimized report and, once more, the final lines of a run.
inline constexpr std::string_view kAsteriskLine =
    " *************************************************** ";
inline constexpr std::string_view kResultHeading =
    "Result of Velm-Model Runoff Calculation  ";
inline constexpr std::string_view kColumnsWithObserved =
    "i,YEAR,MONTH,DAY,Rain,ObservedQ,CalcQ,PotentialE,ActualE,Infiltration";
inline constexpr std::string_view kColumnsWithoutObserved =
    "i,YEAR,MONTH,DAY,Rain,CalcQ,PotentialE,ActualE,Infiltration";

}  // namespace velm::text
