#include "common/console.h"

#include <cstring>

#include "common/code_page.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it builds on.
#include <io.h>
#else
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>
#endif

namespace velm {
namespace {

unsigned char ByteAt(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

// The length of the well-formed UTF-8 sequence of two to four bytes that
// `bytes` starts with, or 0: no overlong form, no surrogate, nothing above
// U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const unsigned char lead = ByteAt(bytes, 0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  if (ByteAt(bytes, 1) < low || ByteAt(bytes, 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (ByteAt(bytes, i) < 0x80 || ByteAt(bytes, i) > 0xBF) return 0;
  }
  return length;
}

// A code-page-932 character is two bytes when it starts with a lead byte,
// and its second byte may be ASCII, so the two are never taken apart.
std::size_t Cp932CharacterLength(std::string_view bytes) {
  const unsigned char lead = ByteAt(bytes, 0);
  const bool isLead = (lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0;
  return isLead && bytes.size() >= 2 ? 2 : 1;
}

}  // namespace

std::optional<ConsoleEncoding> ParseConsoleEncoding(std::string_view value) {
  if (value == "cp932") return ConsoleEncoding::kCp932;
  if (value == "utf-8") return ConsoleEncoding::kUtf8;
  return std::nullopt;
}

#ifdef _WIN32
ConsoleEncoding TerminalEncoding(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  // GetConsoleMode fails for a file, a pipe or the NUL device.
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    return ConsoleEncoding::kCp932;
  }
  return GetConsoleOutputCP() == CP_UTF8 ? ConsoleEncoding::kUtf8
                                         : ConsoleEncoding::kCp932;
}
#else
ConsoleEncoding TerminalEncoding(std::FILE* stream) {
  if (!isatty(fileno(stream))) return ConsoleEncoding::kCp932;
  // The environment's locale, as setlocale(LC_CTYPE, "") would choose it,
  // without making it the program's: the C library's character classes stay
  // those of the "C" locale that velm reads its files in.
  const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t{});
  if (locale == locale_t{}) return ConsoleEncoding::kCp932;
  const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
  freelocale(locale);
  return utf8 ? ConsoleEncoding::kUtf8 : ConsoleEncoding::kCp932;
}
#endif

std::string ConsoleTextAsUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  std::size_t cp932Start = 0;
  std::size_t i = 0;
  const auto endCp932Run = [&] {
    if (i > cp932Start) {
      out += Cp932ToUtf8(bytes.substr(cp932Start, i - cp932Start));
    }
  };
  while (i < bytes.size()) {
    const std::string_view rest = bytes.substr(i);
    const std::size_t utf8 =
        ByteAt(rest, 0) < 0x80 ? 1 : Utf8SequenceLength(rest);
    if (utf8 == 0) {
      i += Cp932CharacterLength(rest);
      continue;
    }
    endCp932Run();
    out.append(rest.substr(0, utf8));
    i += utf8;
    cp932Start = i;
  }
  endCp932Run();
  return out;
}

ConsoleStream::ConsoleStream(std::ostream& target, ConsoleEncoding encoding)
    : std::ostream(nullptr), utf8_(target.rdbuf()) {
  rdbuf(encoding == ConsoleEncoding::kUtf8
            ? static_cast<std::streambuf*>(&utf8_)
            : target.rdbuf());
}

ConsoleStream::~ConsoleStream() {
  flush();
  utf8_.WriteUnfinishedLine();
}

ConsoleStream::Utf8Lines::int_type ConsoleStream::Utf8Lines::overflow(
    int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  pending_ += traits_type::to_char_type(c);
  if (traits_type::to_char_type(c) == '\n') WriteCompleteLines();
  return c;
}

std::streamsize ConsoleStream::Utf8Lines::xsputn(const char* text,
                                                 std::streamsize count) {
  // An empty string_view may come with a null pointer, which memchr must
  // not see.
  if (count <= 0) return 0;
  const auto size = static_cast<std::size_t>(count);
  pending_.append(text, size);
  if (std::memchr(text, '\n', size) != nullptr) WriteCompleteLines();
  return count;
}

int ConsoleStream::Utf8Lines::sync() {
  WriteCompleteLines();
  return target_->pubsync();
}

void ConsoleStream::Utf8Lines::WriteCompleteLines() {
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return;
  const std::string line =
      ConsoleTextAsUtf8(std::string_view(pending_).substr(0, end + 1));
  target_->sputn(line.data(), static_cast<std::streamsize>(line.size()));
  pending_.erase(0, end + 1);
}

void ConsoleStream::Utf8Lines::WriteUnfinishedLine() {
  if (pending_.empty()) return;
  const std::string line = ConsoleTextAsUtf8(pending_);
  target_->sputn(line.data(), static_cast<std::streamsize>(line.size()));
  pending_.clear();
  target_->pubsync();
}

}  // namespace velm
