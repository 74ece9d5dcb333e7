// The number grammar: never NaN, leading blanks and anything after the number
// change nothing, and an integer reads as the real of the same digits.

#include <cmath>
#include <string>

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(AsText(data, size));
  const double real = ParseReal(text);
  const int integer = ParseInt(text);
  Check(!std::isnan(real), "a real is never NaN");
  Check(ParseReal(" \t" + text) == real, "leading blanks ignored (real)");
  Check(ParseInt(" \t" + text) == integer, "leading blanks ignored (int)");
  Check(std::signbit(ParseReal(text + ";x")) == std::signbit(real) &&
            ParseReal(text + ";x") == real,
        "what follows the number ignored (real)");
  Check(ParseInt(text + ";x") == integer,
        "what follows the number ignored (int)");
  // Up to nine digits the integer is exact, and so is the real.
  if (text.size() <= 9 && !text.empty() &&
      text.find_first_not_of("0123456789") == text.npos) {
    Check(static_cast<double>(integer) == real, "digits read alike");
  }
  return 0;
}
