#pragma once

// The pieces the findings are worded with: file text as a reader sees it,
// numbers with a few digits, counts with their nouns.

#include <cstddef>
#include <string>
#include <string_view>

namespace velm::check {

// A line of an input file in single quotes, in UTF-8 from code page 932,
// control characters as '?' and a long line cut short.
std::string Quoted(std::string_view line);

// A number with `digits` significant digits ("0.1723", "1.2e+04").
std::string Number(double value, int digits = 4);

// "1 hour", "3 hours".
std::string Count(std::size_t count, std::string_view noun);

// The file's name for findings: UTF-8 from code page 932.
std::string Utf8Name(std::string_view name);

}  // namespace velm::check
