#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

#include "optimizer/random_source.h"

namespace velm {

// Exit codes of velm.
inline constexpr int kExitOk = 0;
// An input file cannot be read or holds what the model cannot work with, or
// the result file could not be written.
inline constexpr int kExitFailed = 1;
// A calibration ended with a result that is not a valid parameter set.
inline constexpr int kExitInvalidResult = 2;

// One run in a catchment directory: reads the inputs in the order the
// program has always first read them, runs the mode the control file asks
// for, and returns the exit code. Input that cannot be read ends the run with
// an InputError.
int RunProgram(const std::filesystem::path& directory, Clock clock,
               std::ostream& console, std::ostream& errors);

// RunProgram, with an InputError's message (and an empty line) written to
// `console`, for a file that cannot be opened its path and the system's
// reason on `errors`, and exit code 1.
int RunProgramReportingErrors(const std::filesystem::path& directory,
                              Clock clock, std::ostream& console,
                              std::ostream& errors);

// The line that `velm --help` or `velm --version` prints when it is the one
// argument: a usage line or the version; nullptr for any other argument,
// which the program ignores.
const char* InformationLine(std::string_view argument);

// The value of VELM_SEED: a decimal from 0 to 65535, digits only.
std::optional<std::uint16_t> ParseSeed(std::string_view text);

}  // namespace velm
