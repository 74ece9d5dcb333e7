#pragma once

// A run ends at once when an input file cannot be opened, or holds something
// the model cannot work with. The reader that finds it throws InputError; the
// program entry writes the message and an empty line to standard output and
// ends with exit code 1. Tests, the checker and the Python module catch it
// instead and read its parts.

#include <exception>
#include <string>
#include <string_view>

#include "common/native_path.h"
#include "common/texts.h"

namespace velm {

// How messages name FILEINFO.dat.
inline constexpr std::string_view kFileInfoKey = "FILEINFO";

class InputError : public std::exception {
 public:
  // `key` names the file (its FILEINFO.dat label, or "FILEINFO"); `lines` the
  // line or lines ("19", "5-11"), empty when the file as a whole is at fault.
  InputError(std::string_view key, std::string_view lines,
             text::Cp932Text problem);

  const std::string& Key() const { return key_; }
  const std::string& Lines() const { return lines_; }
  text::Cp932Text Problem() const { return problem_; }
  // "<key> <lines>行目 <problem>", or "<key><problem>" without lines: the
  // code-page-932 text velm prints, without a line end.
  const std::string& Message() const { return message_; }
  // The same text in UTF-8.
  std::string Utf8Message() const;
  const char* what() const noexcept override { return message_.c_str(); }

  // For a file that cannot be opened: the path as tried and the system's
  // reason.
  std::string PathTried;
  std::string Reason;
  // When the name opens nothing but its other encoding does.
  std::optional<NameOnDisk> InOtherEncoding;

 private:
  std::string key_;
  std::string lines_;
  text::Cp932Text problem_;
  std::string message_;
};

// "<key> ファイルをオープンできません", with the path tried and the reason.
[[noreturn]] void ThrowCannotOpen(
    std::string_view key, std::string path, std::string reason,
    std::optional<NameOnDisk> inOtherEncoding = std::nullopt);
// "FILEINFO 入力ファイルをオープンできません", likewise.
[[noreturn]] void ThrowCannotOpenFileInfo(std::string path, std::string reason);
// "<key> <line>行目 <problem>", for a line the model cannot work with.
[[noreturn]] void ThrowBadLine(std::string_view key, std::size_t lineNumber,
                               text::Cp932Text problem);
// The same for a problem that several lines make together ("5-11行目").
[[noreturn]] void ThrowBadLines(std::string_view key, std::string_view lines,
                                text::Cp932Text problem);

}  // namespace velm
