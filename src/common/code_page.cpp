#include "common/code_page.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace velm {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

#ifdef _WIN32
constexpr unsigned kCp932 = 932;
constexpr unsigned kUtf8 = CP_UTF8;

// Windows converts through UTF-16. Without `exact`, what is no character of
// the source becomes U+FFFD (or the target's default character).
std::optional<std::wstring> ToWide(unsigned codePage, std::string_view bytes,
                                   bool exact) {
  const int size = static_cast<int>(bytes.size());
  const DWORD flags = exact ? MB_ERR_INVALID_CHARS : 0;
  const int length =
      MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> FromWide(unsigned codePage, const std::wstring& wide,
                                    bool exact) {
  const int size = static_cast<int>(wide.size());
  // Code page 932 would map a character it lacks to a look-alike.
  const DWORD flags =
      exact && codePage != kUtf8 ? WC_NO_BEST_FIT_CHARS : DWORD{0};
  BOOL usedDefault = FALSE;
  BOOL* defaultFlag = codePage != kUtf8 ? &usedDefault : nullptr;
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), size,
                                         nullptr, 0, nullptr, defaultFlag);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length,
                      nullptr, defaultFlag);
  if (exact && usedDefault) return std::nullopt;
  return out;
}

std::optional<std::string> Convert(unsigned from, unsigned to,
                                   std::string_view bytes, bool exact) {
  const std::optional<std::wstring> wide = ToWide(from, bytes, exact);
  if (!wide) return std::nullopt;
  return FromWide(to, *wide, exact);
}

std::string Lossy(std::string_view bytes) {
  return Convert(kCp932, kUtf8, bytes, false).value_or(std::string());
}
#else
constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";

// A converter opened and closed with the object.
class Converter {
 public:
  Converter(const char* from, const char* to) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (Usable()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; false when it stops at a byte that begins
  // no character, or at a character the target lacks, with `in` left there.
  // `inexact` counts the characters converted to a near form.
  bool Step(std::string_view& in, std::string& out, std::size_t& inexact) {
    char buffer[4096];
    char* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    for (;;) {
      char* target = buffer;
      std::size_t targetLeft = sizeof buffer;
      const std::size_t done =
          iconv(handle_, &source, &sourceLeft, &target, &targetLeft);
      out.append(buffer, static_cast<std::size_t>(target - buffer));
      in = std::string_view(source, sourceLeft);
      if (done != static_cast<std::size_t>(-1)) {
        inexact += done;
        return true;
      }
      if (errno != E2BIG) return false;
    }
  }

 private:
  iconv_t handle_;
};

std::optional<std::string> Convert(const char* from, const char* to,
                                   std::string_view bytes, bool) {
  Converter converter(from, to);
  std::string out;
  std::size_t inexact = 0;
  if (!converter.Usable() || !converter.Step(bytes, out, inexact) ||
      inexact > 0) {
    return std::nullopt;
  }
  return out;
}

std::string Lossy(std::string_view bytes) {
  Converter converter(kCp932, kUtf8);
  std::string out;
  std::size_t inexact = 0;
  while (!bytes.empty()) {
    if (!converter.Usable()) {
      // Without the system's tables, only ASCII can be told.
      for (const char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
          out += c;
        } else {
          out += kReplacement;
        }
      }
      break;
    }
    if (converter.Step(bytes, out, inexact)) break;
    out += kReplacement;
    bytes.remove_prefix(1);
  }
  return out;
}
#endif

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  return Lossy(bytes);
}

std::optional<std::string> Cp932ToUtf8Exactly(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  return Convert(kCp932, kUtf8, bytes, true);
}

std::optional<std::string> Utf8ToCp932Exactly(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Convert(kUtf8, kCp932, utf8, true);
}

bool IsUtf8(std::string_view bytes) {
  return IsAscii(bytes) || Convert(kUtf8, kUtf8, bytes, true).has_value();
}

}  // namespace velm
