#pragma once

// The fields of the data records after the value, which velm ignores: the
// other part of a number written with a decimal comma, or a column of its
// own such as a quality flag.

#include <span>
#include <string_view>
#include <vector>

#include "check/catchment.h"
#include "check/finding.h"

namespace velm::check {

// A decimal comma (digits after a whole number, in a file whose field count
// varies or whose extra fields are too many different numbers for flags) is
// an error, since velm reads only the whole part; any other field after the
// value is a note.
// `values` holds the value field of each record, from line 1 on, as velm
// splits it: everything after the leading fields' commas.
void CheckExtraFields(const NamedFile& dataFile,
                      std::span<const std::string_view> values,
                      std::vector<Finding>& findings);

}  // namespace velm::check
