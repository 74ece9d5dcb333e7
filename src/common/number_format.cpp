#include "common/number_format.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velm {
namespace {

const char* NonFiniteWord(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

void AppendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += NonFiniteWord(value);
    return;
  }
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6g", value);
  const char* exponent = std::strchr(buffer, 'e');
  if (exponent == nullptr) {
    out.append(buffer, static_cast<std::size_t>(length));
    return;
  }
  // buffer holds mantissa, 'e', sign, digits: widen the digits to three.
  const char* digits = exponent + 2;
  const std::size_t digitCount = std::strlen(digits);
  out.append(buffer, static_cast<std::size_t>(digits - buffer));
  if (digitCount < 3) out.append(3 - digitCount, '0');
  out.append(digits, digitCount);
}

std::string FormatNumber(double value) {
  std::string out;
  AppendNumber(out, value);
  return out;
}

std::string FormatPrintf(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, args);
  va_end(args);
  return out;
}

std::string FormatFixed(double value, int width, int precision) {
  if (!std::isfinite(value)) {
    return FormatPrintf("%*s", width, NonFiniteWord(value));
  }
  return FormatPrintf("%*.*f", width, precision, value);
}

std::string FormatShortest(double value) {
  // 17 significant digits always read back; fewer often do.
  char buffer[32];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

}  // namespace velm
