#pragma once

// velm's refusals in words a user can act on: each message velm can stop
// with, explained in English with its file, line and fix, and velm's own
// message decoded beside it.

#include "check/catchment.h"
#include "check/finding.h"
#include "input/input_error.h"

namespace velm::check {

// The error finding for a refusal, worded with what the catchment read so
// far (the files before it, the line it names).
Finding ExplainRefusal(const InputError& error, const Catchment& catchment);

// The same for a refusal met elsewhere (the Python module's) in reading
// `directory`, which is read again as velm-check reads it.
Finding ExplainInputError(const std::filesystem::path& directory,
                          const InputError& error);

}  // namespace velm::check
