#pragma once

// What a long record makes of the model's starting state: the tank cascade
// receives nothing from the soil, so its base flow is the water the tanks
// hold at the start draining away, through the warm-up pass and on through
// the main pass.

#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

// Records longer than this many whole days (two years) get the note.
inline constexpr int kLongRecordDays = 731;

// For a record of more than two years with tanks: how long the warm-up pass
// is, and how much of the tanks' starting water is left when the main pass
// starts and when it ends, from a simulation with the parameter file's
// values.
void NoteStartingState(const Catchment& catchment,
                       std::vector<Finding>& findings);

}  // namespace velm::check
