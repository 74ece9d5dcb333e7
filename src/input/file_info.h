#pragma once

// FILEINFO.dat, the one fixed name of the program: it names the five input
// files and the result file of a run. The files are one table, which the
// readers, the messages, velm-check and the Python module iterate.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/text_lines.h"

namespace velm {

// Entry k of FILEINFO.dat is taken from its line k + 1; entry 0 is
// FILEINFO.dat itself.
enum class FileEntry {
  kFileInfo,
  kControl,
  kParameter,
  kRain,
  kEvaporation,
  kObservedRunoff,
  kResult,
};

struct InputFileRow {
  FileEntry Entry;
  // The label by which velm's messages name the file: its label in
  // FILEINFO.dat, "FILEINFO" for FILEINFO.dat; the result file has none.
  std::string_view Key;
  std::string_view What;  // "rain file"
  // A data file's last line without a line feed is not a record; the control
  // and parameter files read theirs.
  LastLine LastLineRule;
  // velm first reads the files in this order, which decides which problem a
  // user meets first.
  int ReadOrder;
};

inline constexpr std::array<InputFileRow, 7> kInputFiles{{
    {FileEntry::kFileInfo, "FILEINFO", "FILEINFO.dat", LastLine::kDropped, 0},
    {FileEntry::kControl, "InputFilename_Control", "control file",
     LastLine::kKept, 1},
    {FileEntry::kParameter, "InputFilename_Paramater", "parameter file",
     LastLine::kKept, 4},
    {FileEntry::kRain, "InputFilename_RainData", "rain file",
     LastLine::kDropped, 2},
    {FileEntry::kEvaporation, "InputFilename_EPData", "evaporation file",
     LastLine::kDropped, 3},
    {FileEntry::kObservedRunoff, "InputFilename_RunoffData",
     "observed-runoff file", LastLine::kDropped, 5},
    {FileEntry::kResult, "", "result file", LastLine::kDropped, 6},
}};

constexpr const InputFileRow& FileRow(FileEntry entry) {
  return kInputFiles[static_cast<std::size_t>(entry)];
}

static_assert(
    [] {
      for (std::size_t i = 0; i < kInputFiles.size(); ++i) {
        if (static_cast<std::size_t>(kInputFiles[i].Entry) != i) return false;
      }
      return true;
    }(),
    "kInputFiles holds each entry at its place");

inline constexpr std::string_view kFileInfoName = "FILEINFO.dat";

// The line of FILEINFO.dat that names an entry's file.
constexpr std::size_t FileInfoLineOf(FileEntry entry) {
  return static_cast<std::size_t>(entry) + 1;
}

class FileInfo {
 public:
  static constexpr std::size_t kEntryCount = kInputFiles.size() - 1;
  static constexpr std::size_t kMaxNameLength = 257;

  // Line 1 is a heading; lines 2 to 7 are "label,name", the label unread and
  // the name taken verbatim. Entries that no line fills stay empty, so
  // opening them fails with that file's own message.
  static FileInfo Parse(const TextLines& lines);

  // The name as FILEINFO.dat writes it; "FILEINFO.dat" for entry 0.
  std::string Name(FileEntry entry) const {
    if (entry == FileEntry::kFileInfo) return std::string(kFileInfoName);
    return names_[static_cast<std::size_t>(entry) - 1];
  }
  void SetName(FileEntry entry, std::string name) {
    names_[static_cast<std::size_t>(entry) - 1] = std::move(name);
  }

 private:
  std::array<std::string, kEntryCount> names_;
};

}  // namespace velm
