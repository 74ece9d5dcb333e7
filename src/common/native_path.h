#pragma once

// File names as the system opens them. velm's own names, FILEINFO.dat and the
// names it holds, are code-page-932 bytes, as a Japanese Windows writes them;
// the names that the programs take as arguments are UTF-8.

#include <filesystem>
#include <string_view>

namespace velm {

// A name in code page 932. On POSIX the bytes as they are; on Windows the
// name that a Japanese Windows shows for these bytes, whatever code page the
// system itself uses.
std::filesystem::path NativePath(std::string_view bytes);

// A name in UTF-8, such as an argument from ProgramArguments.
std::filesystem::path PathFromUtf8(std::string_view utf8);

}  // namespace velm
