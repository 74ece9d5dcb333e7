#pragma once

// What velm-check finds in a catchment directory, and how the findings are
// ordered, counted and turned into a verdict and an exit code.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velm::check {

enum class Severity {
  kError,    // velm will refuse, or cannot do what was asked
  kWarning,  // velm will run, but the result is probably not what was meant
  kNote,
};

// The files in the order velm first reads them, which orders the findings.
enum class FileOrder {
  kFileInfo,
  kControl,
  kRain,
  kEvaporation,
  kParameter,
  kObservedRunoff,
  kResult,
};

struct Finding {
  Severity Level = Severity::kNote;
  FileOrder Order = FileOrder::kFileInfo;
  // UTF-8: the name as FILEINFO.dat writes it, or "FILEINFO.dat".
  std::string File;
  // 0 for the file as a whole; LastLine above Line for a range of lines.
  std::size_t Line = 0;
  std::size_t LastLine = 0;
  std::string Message;
  std::string Fix;
  // UTF-8: what velm prints when it stops or fails on this, for errors.
  std::string VelmMessage;
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
