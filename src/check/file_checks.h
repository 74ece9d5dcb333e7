#pragma once

// What the bytes of the files say beyond their lines: a byte order mark, a
// last line that velm does not read for want of a line end, a name in
// FILEINFO.dat with blanks at its ends.

#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

void CheckFileBytes(const Catchment& catchment, std::vector<Finding>& findings);

}  // namespace velm::check
