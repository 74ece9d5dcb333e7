#include "common/text_lines.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/native_path.h"

namespace velm {

std::optional<TextLines> TextLines::Read(const std::string& path,
                                         LastLine rule) {
  // A directory opens like a file here but has no text; reading it would
  // take its reported size for the length of the file.
  const std::filesystem::path native = NativePath(path);
  std::error_code error;
  if (std::filesystem::is_directory(native, error)) return std::nullopt;
  std::ifstream file(native, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  // The whole file in one go, so that reading a long record costs time in
  // proportion to its size.
  const std::streamoff size = file.tellg();
  std::string text;
  if (size >= 0) {
    text.resize(static_cast<std::size_t>(size));
    file.seekg(0);
    file.read(text.data(), size);
    text.resize(static_cast<std::size_t>(file.gcount()));
  } else {  // not seekable, a pipe say
    file.clear();
    text.assign(std::istreambuf_iterator<char>(file),
                std::istreambuf_iterator<char>());
  }
  return TextLines(std::move(text), rule);
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
  return std::string_view(text_).substr(span.start, span.length);
}

std::string_view TextLines::LineOrEmpty(std::size_t number) const {
  if (number == 0 || number > spans_.size()) return {};
  return (*this)[number - 1];
}

}  // namespace velm
