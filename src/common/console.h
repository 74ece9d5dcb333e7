#pragma once

// velm's console is code page 932, byte for byte, wherever it is piped or
// redirected. A terminal that shows UTF-8 gets the same text in UTF-8, so
// that a first run reads as it should; VELM_CONSOLE overrides the choice.

#include <cstdio>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace velm {

enum class ConsoleEncoding { kCp932, kUtf8 };

// The value of VELM_CONSOLE: `cp932` or `utf-8`; nothing for any other.
std::optional<ConsoleEncoding> ParseConsoleEncoding(std::string_view value);

// What `stream` (stdout or stderr) gets without an override: UTF-8 when it
// is a terminal whose character set is UTF-8 (the locale's, or on Windows
// the console's output code page 65001), else code page 932.
ConsoleEncoding TerminalEncoding(std::FILE* stream);

// Console text in UTF-8: a well-formed UTF-8 sequence stays as it is (a file
// name that FILEINFO.dat gives in UTF-8), everything else is read as code
// page 932, a byte that begins no character of it as U+FFFD.
std::string ConsoleTextAsUtf8(std::string_view bytes);

// An ostream onto `target` that passes the program's bytes unchanged for code
// page 932 and converts them line by line for UTF-8 (a line never splits a
// character). A line is written, converted, as soon as it is complete; an
// unfinished one when the stream is destroyed.
class ConsoleStream : public std::ostream {
 public:
  ConsoleStream(std::ostream& target, ConsoleEncoding encoding);
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;
  ~ConsoleStream() override;

 private:
  class Utf8Lines : public std::streambuf {
   public:
    explicit Utf8Lines(std::streambuf* target) : target_(target) {}
    void WriteUnfinishedLine();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

   private:
    void WriteCompleteLines();

    std::streambuf* target_;
    std::string pending_;
  };

  Utf8Lines utf8_;
};

}  // namespace velm
