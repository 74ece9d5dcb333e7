#include "common/input_error.h"

namespace velm {
namespace {

template <typename Field>
std::string Compose(std::string_view key, std::string_view lines,
                    text::Cp932Text problem, Field field) {
  std::string out(key);
  if (!lines.empty()) {
    out += " ";
    out += lines;
    out += field(text::kLineNumber);
    out += " ";
  }
  return out + std::string(field(problem));
}

}  // namespace

InputError::InputError(std::string_view key, std::string_view lines,
                       text::Cp932Text problem)
    : key_(key),
      lines_(lines),
      problem_(problem),
      message_(Compose(key, lines, problem,
                       [](text::Cp932Text t) { return t.Bytes; })) {}

std::string InputError::Utf8Message() const {
  return Compose(key_, lines_, problem_,
                 [](text::Cp932Text t) { return t.Utf8; });
}

namespace {

[[noreturn]] void ThrowOpenFailure(std::string_view key,
                                   text::Cp932Text problem, std::string path,
                                   std::string reason,
                                   std::optional<NameOnDisk> inOtherEncoding) {
  InputError error(key, "", problem);
  error.PathTried = std::move(path);
  error.Reason = std::move(reason);
  error.InOtherEncoding = inOtherEncoding;
  throw error;
}

}  // namespace

void ThrowCannotOpen(std::string_view key, std::string path, std::string reason,
                     std::optional<NameOnDisk> inOtherEncoding) {
  ThrowOpenFailure(key, text::kCannotOpen, std::move(path), std::move(reason),
                   inOtherEncoding);
}

void ThrowCannotOpenFileInfo(std::string path, std::string reason) {
  ThrowOpenFailure(kFileInfoKey, text::kInputCannotOpen, std::move(path),
                   std::move(reason), std::nullopt);
}

void ThrowBadLine(std::string_view key, std::size_t lineNumber,
                  text::Cp932Text problem) {
  ThrowBadLines(key, std::to_string(lineNumber), problem);
}

void ThrowBadLines(std::string_view key, std::string_view lines,
                   text::Cp932Text problem) {
  throw InputError(key, lines, problem);
}

}  // namespace velm
