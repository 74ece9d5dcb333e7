#pragma once

// velm's files and messages are in code page 932; the checker and other tools
// speak UTF-8. Every conversion between the two goes through the system's own
// tables (iconv, or Windows' code pages), so no table is kept here.

#include <optional>
#include <string>
#include <string_view>

namespace velm {

// Text in code page 932 as UTF-8. A byte that begins no character of the
// code page becomes U+FFFD, so the result is always valid UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

// The same conversions made exactly: nothing when a byte begins no character
// of the source encoding, or a character has no form in the target one.
std::optional<std::string> Cp932ToUtf8Exactly(std::string_view bytes);
std::optional<std::string> Utf8ToCp932Exactly(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (ASCII is).
bool IsUtf8(std::string_view bytes);

}  // namespace velm
