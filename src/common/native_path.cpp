#include "common/native_path.h"

#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace velm {
namespace {

constexpr unsigned kShiftJisCodePage = 932;

#ifdef _WIN32
// Windows names files in UTF-16. Bytes that are no character of the code
// page become its default character, as they do wherever Windows reads them.
std::filesystem::path WidePath(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
  return std::filesystem::path(std::move(wide));
}
#else
// POSIX names are bytes: the system takes them as they are.
std::filesystem::path WidePath(unsigned, std::string_view bytes) {
  return std::filesystem::path(std::string(bytes));
}
#endif

}  // namespace

std::filesystem::path NativePath(std::string_view bytes) {
  return WidePath(kShiftJisCodePage, bytes);
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  constexpr unsigned kUtf8CodePage = 65001;  // CP_UTF8
  return WidePath(kUtf8CodePage, utf8);
}

}  // namespace velm
