#include "common/text_lines.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace velm {
namespace {

// The whole content of a file or pipe in one string. Reading in large pieces
// keeps a long record's cost in proportion to its size; the size of a
// regular file only reserves room, so a pipe or a file that grows reads the
// same way.
std::optional<std::string> ReadWhole(const std::filesystem::path& path,
                                     std::string& reason) {
  std::error_code error;
  // A directory opens like a file here but has no text.
  if (std::filesystem::is_directory(path, error)) {
    reason = std::strerror(EISDIR);
    return std::nullopt;
  }
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    reason = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return std::nullopt;
  }
  std::string text;
  const auto size = std::filesystem::file_size(path, error);
  if (!error) text.reserve(static_cast<std::size_t>(size));
  char piece[1 << 16];
  while (file.read(piece, sizeof piece) || file.gcount() > 0) {
    text.append(piece, static_cast<std::size_t>(file.gcount()));
  }
  return text;
}

}  // namespace

std::optional<TextLines> TextLines::Read(const std::filesystem::path& path,
                                         LastLine rule, std::string* reason) {
  std::string why;
  std::optional<std::string> text = ReadWhole(path, why);
  if (!text) {
    if (reason != nullptr) *reason = why;
    return std::nullopt;
  }
  return TextLines(std::move(*text), rule);
}

TextLines TextLines::FromText(std::string text, LastLine rule) {
  return TextLines(std::move(text), rule);
}

TextLines::TextLines(std::string text, LastLine rule) : text_(std::move(text)) {
  std::size_t start = 0;
  while (start < text_.size()) {
    const std::size_t feed = text_.find('\n', start);
    if (feed == std::string::npos) {
      if (rule == LastLine::kKept) AddLine(start, text_.size() - start);
      break;
    }
    std::size_t end = feed;
    if (end > start && text_[end - 1] == '\r') --end;
    AddLine(start, end - start);
    start = feed + 1;
  }
}

void TextLines::AddLine(std::size_t start, std::size_t length) {
  while (length >= kMaxPiece) {
    spans_.push_back({start, kMaxPiece});
    start += kMaxPiece;
    length -= kMaxPiece;
  }
  spans_.push_back({start, length});
}

std::string_view TextLines::operator[](std::size_t index) const {
  const Span& span = spans_[index];
  return std::string_view(text_).substr(span.Start, span.Length);
}

std::string_view TextLines::LineOrEmpty(std::size_t number) const {
  if (number == 0 || number > spans_.size()) return {};
  return (*this)[number - 1];
}

}  // namespace velm
