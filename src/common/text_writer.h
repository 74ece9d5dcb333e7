#pragma once

// The one way text leaves the program: labels verbatim, numbers in the number
// format, and every line ended and flushed as soon as it is complete, so that
// a run that stops half-way leaves whole lines behind.

#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace velm {

enum class LineEnd {
  kLf,    // the console
  kCrLf,  // the result file
};

struct EndLineTag {};
inline constexpr EndLineTag kEndLine{};

class TextWriter {
 public:
  TextWriter(std::ostream& out, LineEnd end) : out_(&out), end_(end) {}

  TextWriter& operator<<(std::string_view text);
  TextWriter& operator<<(double value);
  TextWriter& operator<<(int value);
  TextWriter& operator<<(EndLineTag);
  // Only int and double have a format; anything else is a mistake.
  template <typename T>
  requires(std::is_arithmetic_v<T> && !std::is_same_v<T, int> &&
           !std::is_same_v<T, double>) TextWriter&
  operator<<(T) = delete;

 private:
  std::ostream* out_;
  LineEnd end_;
};

}  // namespace velm
