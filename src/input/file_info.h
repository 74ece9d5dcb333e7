#pragma once

// FILEINFO.dat, the one fixed name of the program: it names the five input
// files and the result file of a run.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/input_error.h"
#include "common/text_lines.h"

namespace velm {

// Entries by position: entry k is taken from line k + 1 of FILEINFO.dat.
enum class FileEntry {
  kControl = 1,
  kParameter,
  kRain,
  kEvaporation,
  kObservedRunoff,
  kResult,
};

// The labels by which messages name the input files.
inline constexpr std::string_view kControlKey = "InputFilename_Control";
inline constexpr std::string_view kParameterKey = "InputFilename_Paramater";
inline constexpr std::string_view kRainKey = "InputFilename_RainData";
inline constexpr std::string_view kEvaporationKey = "InputFilename_EPData";
inline constexpr std::string_view kObservedRunoffKey =
    "InputFilename_RunoffData";

inline constexpr std::string_view kFileInfoName = "FILEINFO.dat";

class FileInfo {
 public:
  static constexpr std::size_t kEntryCount = 6;
  static constexpr std::size_t kMaxNameLength = 257;

  // Line 1 is a heading; lines 2 to 7 are "label,name", the label unread and
  // the name taken verbatim. Entries that no line fills stay empty, so
  // opening them fails with that file's own message.
  static FileInfo Parse(const TextLines& lines);

  // The name as FILEINFO.dat writes it.
  const std::string& Name(FileEntry entry) const {
    return names_[static_cast<std::size_t>(entry) - 1];
  }
  void SetName(FileEntry entry, std::string name) {
    names_[static_cast<std::size_t>(entry) - 1] = std::move(name);
  }

 private:
  std::array<std::string, kEntryCount> names_;
};

}  // namespace velm
