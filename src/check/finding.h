#pragma once

// What velm-check finds in a catchment directory, and how the findings are
// ordered, counted and turned into a verdict and an exit code.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "input/file_info.h"

namespace velm::check {

enum class Severity {
  kError,    // velm will refuse, or cannot do what was asked
  kWarning,  // velm will run, but the result is probably not what was meant
  kNote,
};

struct Finding {
  Severity Level = Severity::kNote;
  // The file it is about; findings are ordered by the order in which velm
  // first reads the files.
  FileEntry Entry = FileEntry::kFileInfo;
  // UTF-8: the name as FILEINFO.dat writes it, or "FILEINFO.dat".
  std::string File;
  // 0 for the file as a whole; LastLine above Line for a range of lines.
  std::size_t Line = 0;
  std::size_t LastLine = 0;
  std::string Message;
  std::string Fix;
  // UTF-8: what velm prints when it stops or fails on this, for errors.
  std::string VelmMessage;
  // What kind of finding it is, a fixed name ("too-few-fields",
  // "dry-days") that tests and scripts can hold on to while the words
  // change.
  std::string_view Kind;
};

// Errors first in the order velm would meet them (by file, then by line),
// then warnings, then notes.
void SortFindings(std::vector<Finding>& findings);

// 0 clean or notes only, 1 errors, 2 warnings but no errors.
int ExitCodeOf(const std::vector<Finding>& findings);
// "clean", "notes", "warnings" or "errors".
std::string_view VerdictOf(const std::vector<Finding>& findings);

inline constexpr int kExitUncheckable = 3;

std::string_view SeverityWord(Severity level);

}  // namespace velm::check
