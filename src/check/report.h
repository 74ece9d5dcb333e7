#pragma once

// velm-check's two outputs: lines for a person and JSON for tools. Both are
// UTF-8 with LF line ends.

#include <ostream>
#include <string>
#include <vector>

#include "check/finding.h"

namespace velm::check {

struct Report {
  std::string Directory;  // as the user gave it
  bool Checked = true;    // false: the directory could not be checked at all
  std::vector<Finding> Findings;  // sorted

  int ExitCode() const;
  std::string_view Verdict() const;
};

// One finding a block: "FILE:LINE: severity: message", then what velm says
// and the fix, indented; a count at the end.
void WriteText(std::ostream& out, const Report& report);

// {"directory", "exit_code", "verdict", "findings": [{"severity", "file",
// "line" (a number or null), "message", "fix", "velm_message" (errors that
// velm reports)}]}.
void WriteJson(std::ostream& out, const Report& report);

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

}  // namespace velm::check
