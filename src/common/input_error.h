#pragma once

// A run ends at once when an input file cannot be opened, or holds something
// the model cannot work with. The reader that finds it throws InputError; the
// program entry writes the message and an empty line to standard output and
// ends with exit code 1. Tests catch it instead.

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

#include "common/texts.h"

namespace velm {

class InputError : public std::exception {
 public:
  explicit InputError(std::string message) : message_(std::move(message)) {}
  // Code-page-932 text without a line end.
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// "<key> ファイルをオープンできません"; `key` is the file's InputFilename_
// label.
[[noreturn]] void ThrowCannotOpen(std::string_view key);
// "FILEINFO 入力ファイルをオープンできません"
[[noreturn]] void ThrowCannotOpenFileInfo();
// "<key> <line>行目 <problem>", for a line the model cannot work with.
[[noreturn]] void ThrowBadLine(std::string_view key, std::size_t lineNumber,
                               text::Cp932Text problem);
// The same for a problem that several lines make together ("5-11行目").
[[noreturn]] void ThrowBadLines(std::string_view key, std::string_view lines,
                                text::Cp932Text problem);

}  // namespace velm
