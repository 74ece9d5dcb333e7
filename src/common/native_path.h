#pragma once

// File names as the system opens them. velm's own names, FILEINFO.dat and the
// names it holds, are code-page-932 bytes, as a Japanese Windows writes them;
// the names that the programs take as arguments are UTF-8.

#include <filesystem>
#include <optional>
#include <string_view>

namespace velm {

// A name in code page 932. On POSIX the bytes as they are; on Windows the
// name that a Japanese Windows shows for these bytes, whatever code page the
// system itself uses.
std::filesystem::path NativePath(std::string_view bytes);

// A name in UTF-8, such as an argument from ProgramArguments.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The encoding in which a file exists when the name that FILEINFO.dat gives
// opens nothing: a name in code page 932 for a file named in UTF-8 (which
// only a POSIX system tells apart), or a name in UTF-8 for a file that the
// name's code-page-932 form opens.
enum class NameOnDisk { kUtf8, kCp932 };
std::optional<NameOnDisk> FindInOtherEncoding(
    const std::filesystem::path& directory, std::string_view bytes);

// One English sentence for FindInOtherEncoding's answer.
std::string_view OtherEncodingText(NameOnDisk found);

}  // namespace velm
