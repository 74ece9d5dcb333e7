#include "input/file_info.h"

#include "input/input_error.h"

namespace velm {

FileInfo FileInfo::Parse(const TextLines& lines) {
  FileInfo files;
  for (std::size_t entry = 0; entry < kEntryCount; ++entry) {
    const std::size_t lineNumber =
        FileInfoLineOf(static_cast<FileEntry>(entry + 1));
    if (lineNumber > lines.Count()) break;
    const std::string_view line = lines.LineOrEmpty(lineNumber);
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
      ThrowBadLine(FileEntry::kFileInfo, lineNumber, InputProblem::kNoComma);
    }
    const std::string_view name = line.substr(comma + 1);
    if (name.size() > kMaxNameLength) {
      ThrowBadLine(FileEntry::kFileInfo, lineNumber,
                   InputProblem::kNameTooLong);
    }
    files.names_[entry] = std::string(name);
  }
  return files;
}

}  // namespace velm
