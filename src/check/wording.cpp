#include "check/wording.h"

#include <algorithm>
#include <cmath>

#include "common/code_page.h"
#include "common/number_format.h"

namespace velm::check {
namespace {

constexpr std::size_t kShownCharacters = 60;

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::string Escaped(unsigned char c) { return FormatPrintf("\\x%02X", c); }

// UTF-8 text with its control characters as \xNN.
std::string WithVisibleControls(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte < 0x20 || byte == 0x7F ? Escaped(byte) : std::string(1, c);
  }
  return out;
}

}  // namespace

std::string ShownText(std::string_view bytes) {
  if (IsUtf8(bytes)) return WithVisibleControls(bytes);
  if (const auto decoded = Cp932ToUtf8Exactly(bytes)) {
    return WithVisibleControls(*decoded);
  }
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte < 0x20 || byte >= 0x7F ? Escaped(byte) : std::string(1, c);
  }
  return out;
}

std::string Quoted(std::string_view line) {
  const std::string shown = ShownText(line);
  std::string out = "'";
  std::size_t characters = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (StartsCharacter(shown[i]) && ++characters > kShownCharacters) {
      out += "...";
      break;
    }
    // A byte shown as \xNN counts as one character.
    const std::size_t length = shown.compare(i, 2, "\\x") == 0
                                   ? std::min<std::size_t>(4, shown.size() - i)
                                   : 1;
    out.append(shown, i, length);
    i += length - 1;
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

}  // namespace velm::check
