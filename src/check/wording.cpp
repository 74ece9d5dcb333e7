#include "check/wording.h"

#include <cmath>

#include "common/code_page.h"
#include "common/number_format.h"

namespace velm::check {
namespace {

constexpr std::size_t kShownCharacters = 60;

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

}  // namespace

std::string Quoted(std::string_view line) {
  const std::string utf8 = Cp932ToUtf8(line);
  std::string out = "'";
  std::size_t characters = 0;
  for (const char c : utf8) {
    if (StartsCharacter(c) && ++characters > kShownCharacters) {
      out += "...";
      break;
    }
    out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  }
  return out + "'";
}

std::string Number(double value, int digits) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return FormatPrintf("%.*g", digits, value);
}

std::string Count(std::size_t count, std::string_view noun) {
  std::string out = std::to_string(count) + " " + std::string(noun);
  if (count != 1) out += "s";
  return out;
}

std::string Utf8Name(std::string_view name) { return Cp932ToUtf8(name); }

}  // namespace velm::check
