#include "common/number_parse.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace velm {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// Length of the longest decimal real at the start of `text` (sign, digits,
// optional point and fraction, optional exponent), or 0 if there is none.
std::size_t DecimalRealLength(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t integerStart = at;
  at = SkipDigits(text, at);
  std::size_t digitCount = at - integerStart;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fractionStart = at + 1;
    const std::size_t fractionEnd = SkipDigits(text, fractionStart);
    digitCount += fractionEnd - fractionStart;
    at = fractionEnd;
  }
  if (digitCount == 0) return 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponent = at + 1;
    if (exponent < text.size() &&
        (text[exponent] == '+' || text[exponent] == '-')) {
      ++exponent;
    }
    const std::size_t exponentEnd = SkipDigits(text, exponent);
    if (exponentEnd > exponent) at = exponentEnd;
  }
  return at;
}

// strtod's answer for a validated decimal that from_chars finds out of range.
double OutOfRangeReal(std::string_view number) {
  const std::string copy(number);
  return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

int ParseInt(std::string_view text) {
  std::size_t at = SkipBlanks(text, 0);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    magnitude = std::min(magnitude * 10 + (text[at] - '0'), kLimit);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

double ParseReal(std::string_view text) {
  text.remove_prefix(SkipBlanks(text, 0));
  const std::size_t length = DecimalRealLength(text);
  if (length == 0) return 0.0;
  std::string_view number = text.substr(0, length);
  // from_chars takes a minus sign but not a plus sign.
  if (number.front() == '+') number.remove_prefix(1);
#if defined(__cpp_lib_to_chars)
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(number.data(), number.data() + number.size(), value,
                      std::chars_format::general);
  if (error == std::errc::result_out_of_range) return OutOfRangeReal(number);
  return value;
#else
  // The WebAssembly build's C++ library has no from_chars for doubles; its C
  // library's strtod rounds a decimal correctly too, to the same double.
  return OutOfRangeReal(number);
#endif
}

bool StartsWithNumber(std::string_view text) {
  return DecimalRealLength(text.substr(SkipBlanks(text, 0))) > 0;
}

}  // namespace velm
