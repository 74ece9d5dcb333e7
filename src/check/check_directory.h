#pragma once

// velm-check's whole check of one catchment directory.

#include <filesystem>
#include <string>

#include "check/report.h"

namespace velm::check {

// Reads the directory as velm would and checks what velm does not. An empty
// path is the working directory, as for velm itself; `shown` is how the
// report names the directory.
Report CheckDirectory(const std::filesystem::path& directory,
                      std::string shown);

}  // namespace velm::check
