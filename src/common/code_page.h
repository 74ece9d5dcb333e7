#pragma once

// velm's files and messages are in code page 932; the checker and other tools
// speak UTF-8.

#include <string>
#include <string_view>

namespace velm {

// Text in code page 932 as UTF-8. A byte that begins no character of the
// code page becomes U+FFFD, so the result is always valid UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace velm
