#pragma once

// velm-check's command line: velm-check [--json] [DIR].

#include <ostream>
#include <string>
#include <vector>

namespace velm::check {

// Checks DIR (default: the working directory) and writes the findings to
// `out`; returns the exit code: 0 clean or notes only, 1 errors, 2 warnings
// only, 3 when the directory could not be checked or the usage is wrong.
// The arguments are UTF-8.
int RunCheckCommand(const std::vector<std::string>& arguments,
                    std::ostream& out, std::ostream& errors);

}  // namespace velm::check
