#pragma once

// The one number format of the program's console and result-file text.

#include <string>

namespace velm {

// printf "%.6g" with an exponent of at least three digits (1234567 ->
// "1.23457e+006", 0.00005 -> "5e-005"), the form the result files have always
// had. A NaN is written "nan" whatever its sign bit, which carries no meaning
// and differs between the operations that make one; infinities are "inf" and
// "-inf".
void AppendNumber(std::string& out, double value);
std::string FormatNumber(double value);

// printf-style text for the calibration progress lines. Non-finite values are
// written with the same words as FormatNumber, right-aligned in `width`.
std::string FormatPrintf(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
std::string FormatFixed(double value, int width, int precision);

// The shortest decimal text that reads back to exactly `value`, for the
// input files the program writes.
std::string FormatShortest(double value);

}  // namespace velm
