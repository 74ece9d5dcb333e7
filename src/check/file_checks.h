#pragma once

// What the bytes of the files say beyond their lines: a byte order mark, a
// last line that velm does not read for want of a line end, line ends of a
// carriage return alone, a name in FILEINFO.dat with blanks at its ends.

#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

void CheckFileBytes(const Catchment& catchment, std::vector<Finding>& findings);

// Carriage returns that end no line (CR alone): one error for each file that
// has them, which replaces the errors that only follow from a data file read
// without records. Runs after every other check.
void CheckLineEnds(const Catchment& catchment, std::vector<Finding>& findings);

}  // namespace velm::check
