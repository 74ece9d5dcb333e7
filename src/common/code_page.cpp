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
// Windows converts through UTF-16 and maps what is no character of the code
// page to U+FFFD itself.
std::string Convert(std::string_view bytes) {
  const int size = static_cast<int>(bytes.size());
  const int wideLength =
      MultiByteToWideChar(932, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), size, wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength,
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), length,
                      nullptr, nullptr);
  return out;
}
#else
// A converter opened and closed with the object.
class Converter {
 public:
  Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
  ~Converter() {
    if (Usable()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; false when it stops at a byte that begins
  // no character, with `in` left at that byte.
  bool Step(std::string_view& in, std::string& out) {
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
      if (done != static_cast<std::size_t>(-1)) return true;
      if (errno != E2BIG) return false;
    }
  }

 private:
  iconv_t handle_;
};

std::string Convert(std::string_view bytes) {
  Converter converter;
  std::string out;
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
    if (converter.Step(bytes, out)) break;
    out += kReplacement;
    bytes.remove_prefix(1);
  }
  return out;
}
#endif

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  return Convert(bytes);
}

}  // namespace velm
