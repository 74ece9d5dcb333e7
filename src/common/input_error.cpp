#include "common/input_error.h"

namespace velm {

void ThrowCannotOpen(std::string_view key) {
  throw InputError(std::string(key) + std::string(text::kCannotOpen.bytes));
}

void ThrowCannotOpenFileInfo() {
  throw InputError(std::string(text::kFileInfoCannotOpen.bytes));
}

void ThrowBadLine(std::string_view key, std::size_t lineNumber,
                  text::Cp932Text problem) {
  ThrowBadLines(key, std::to_string(lineNumber), problem);
}

void ThrowBadLines(std::string_view key, std::string_view lines,
                   text::Cp932Text problem) {
  throw InputError(std::string(key) + " " + std::string(lines) +
                   std::string(text::kLineNumber.bytes) + " " +
                   std::string(problem.bytes));
}

}  // namespace velm
