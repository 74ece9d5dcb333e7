#pragma once

// The one number grammar of every input file: leading blanks, an optional
// sign, decimal digits (and for reals a decimal point and an exponent), and
// anything after the number ignored. Text without a leading number reads as 0.
// Only decimal forms are numbers: "inf", "nan" and hexadecimal read as 0.

#include <string_view>

namespace velm {

// Integers beyond 32 bits saturate at INT_MIN and INT_MAX.
int ParseInt(std::string_view text);

// Decimal reals round to the nearest double; beyond the double range they
// become infinite, below it 0 (or a subnormal), as strtod would give them.
double ParseReal(std::string_view text);

// Whether the text, after its leading blanks, begins with a decimal number;
// text that does not reads as 0.
bool StartsWithNumber(std::string_view text);

}  // namespace velm
