#pragma once

// FILEINFO.dat, the one fixed name of the program: it names the five input
// files and the result file of a run. Every reader fills a table of its own.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

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
inline constexpr std::string_view kFileInfoKey = "FILEINFO";
inline constexpr std::string_view kControlKey = "InputFilename_Control";
inline constexpr std::string_view kParameterKey = "InputFilename_Paramater";
inline constexpr std::string_view kRainKey = "InputFilename_RainData";
inline constexpr std::string_view kEvaporationKey = "InputFilename_EPData";
inline constexpr std::string_view kObservedRunoffKey =
    "InputFilename_RunoffData";

inline constexpr const char* kFileInfoPath = "FILEINFO.dat";

class FileInfo {
 public:
  static constexpr std::size_t kEntryCount = 6;
  static constexpr std::size_t kMaxNameLength = 257;

  // Reads FILEINFO.dat in the working directory. Entries that no line fills
  // stay empty, so opening them fails with that file's own message.
  void Read();

  const std::string& Name(FileEntry entry) const {
    return names_[static_cast<std::size_t>(entry) - 1];
  }

 private:
  std::array<std::string, kEntryCount> names_;
};

}  // namespace velm
