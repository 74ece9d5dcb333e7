#pragma once

// The one line reader of every input file. A line feed ends a line and a
// carriage return right before it is not part of the line, so files written
// with either line end read the same. A line is read in pieces of at most
// 1023 characters: a longer one is split after its 1023rd character and the
// rest (empty for a line of exactly 1023) counts as the next line.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velm {

// What becomes of a last line that has no line feed after it.
enum class LastLine {
  kDropped,  // FILEINFO.dat and the data series: a record is a whole line
  kKept,     // the control and parameter files: a value line is read anyway
};

class TextLines {
 public:
  static constexpr std::size_t kMaxPiece = 1023;

  // Reads the whole file, a pipe or FIFO too; nothing if it cannot be opened
  // or is a directory, and then `reason` (if given) says why.
  static std::optional<TextLines> Read(const std::filesystem::path& path,
                                       LastLine rule,
                                       std::string* reason = nullptr);
  static TextLines FromText(std::string text, LastLine rule);

  std::size_t Count() const { return spans_.size(); }
  // Line `index` from 0.
  std::string_view operator[](std::size_t index) const;
  // Line `number` from 1; a line the file does not have reads as empty.
  std::string_view LineOrEmpty(std::size_t number) const;
  // The file's bytes as read, for what the lines do not show: a byte order
  // mark, whether the last line has a line feed.
  std::string_view Text() const { return text_; }

 private:
  struct Span {
    std::size_t Start;
    std::size_t Length;
  };
  TextLines(std::string text, LastLine rule);
  void AddLine(std::size_t start, std::size_t length);

  std::string text_;
  std::vector<Span> spans_;  // offsets, so that moving text_ keeps them valid
};

}  // namespace velm
