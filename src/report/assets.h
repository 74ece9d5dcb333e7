#pragma once

// The charting library, built into the program so that a page works offline
// and the installed program needs no files beside it.

#include <string_view>

namespace velm::report {

std::string_view DygraphsScript();
std::string_view DygraphsStyle();

}  // namespace velm::report
