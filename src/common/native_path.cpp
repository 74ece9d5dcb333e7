#include "common/native_path.h"

#include <string>
#include <system_error>

#include "common/code_page.h"

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

std::optional<NameOnDisk> FindInOtherEncoding(
    const std::filesystem::path& directory, std::string_view bytes) {
  const std::filesystem::path tried = directory / NativePath(bytes);
  const auto there = [&](const std::filesystem::path& name) {
    std::error_code error;
    const std::filesystem::path path = directory / name;
    return path != tried && std::filesystem::exists(path, error);
  };
  const std::optional<std::string> utf8 = Cp932ToUtf8Exactly(bytes);
  if (utf8 && there(PathFromUtf8(*utf8))) return NameOnDisk::kUtf8;
  if (!IsUtf8(bytes)) return std::nullopt;
  const std::optional<std::string> cp932 = Utf8ToCp932Exactly(bytes);
  if (cp932 && there(NativePath(*cp932))) return NameOnDisk::kCp932;
  return std::nullopt;
}

std::string_view OtherEncodingText(NameOnDisk found) {
  return found == NameOnDisk::kUtf8
             ? "FILEINFO.dat gives this name in code page 932, and a file of "
               "that name exists in UTF-8"
             : "FILEINFO.dat gives this name in UTF-8, and a file of that "
               "name exists in code page 932";
}

}  // namespace velm
