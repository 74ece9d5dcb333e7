#include "input/file_info.h"

#include "common/input_error.h"
#include "common/text_lines.h"

namespace velm {

void FileInfo::Read() {
  const auto lines = TextLines::Read(kFileInfoPath, LastLine::kDropped);
  if (!lines) ThrowCannotOpenFileInfo();
  // Line 1 is a heading; lines 2 to 7 are "label,name", the label unread.
  for (std::size_t entry = 0; entry < kEntryCount; ++entry) {
    const std::size_t lineNumber = entry + 2;
    if (lineNumber > lines->Count()) break;
    const std::string_view line = lines->LineOrEmpty(lineNumber);
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
      ThrowBadLine(kFileInfoKey, lineNumber, text::kNoComma);
    }
    const std::string_view name = line.substr(comma + 1);
    if (name.size() > kMaxNameLength) {
      ThrowBadLine(kFileInfoKey, lineNumber, text::kNameTooLong);
    }
    names_[entry] = std::string(name);
  }
}

}  // namespace velm
