#pragma once

// The pieces the findings are worded with: file text as a reader sees it,
// numbers with a few digits, counts with their nouns.

#include <cstddef>
#include <string>
#include <string_view>

namespace velm::check {

// Bytes of a file or a name as UTF-8 text: as they are when they are UTF-8,
// decoded from code page 932 when every byte decodes, and otherwise with
// every byte outside printable ASCII as \xNN; control characters are \xNN
// in every case.
std::string ShownText(std::string_view bytes);

// A line of an input file, or a name, in single quotes as ShownText shows
// it, a long line cut short.
std::string Quoted(std::string_view line);

// A number with `digits` significant digits ("0.1723", "1.2e+04").
std::string Number(double value, int digits = 4);

// "1 hour", "3 hours".
std::string Count(std::size_t count, std::string_view noun);

}  // namespace velm::check
