#include "check/report.h"

#include <algorithm>
#include <cstdio>

#include "check/wording.h"

namespace velm::check {
namespace {

std::size_t CountOf(const std::vector<Finding>& findings, Severity level) {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(),
                    [level](const Finding& f) { return f.Level == level; }));
}

// A name with blanks at either end, or none at all, is quoted so that it can
// be seen.
std::string ShownName(const std::string& name) {
  const bool plain = !name.empty() && name.front() != ' ' &&
                     name.back() != ' ' && name.front() != '\t' &&
                     name.back() != '\t';
  return plain ? name : "'" + name + "'";
}

std::string Location(const Finding& f) {
  std::string out = ShownName(f.File);
  if (f.Line > 0) out += ":" + std::to_string(f.Line);
  if (f.LastLine > f.Line) out += "-" + std::to_string(f.LastLine);
  return out;
}

}  // namespace

int Report::ExitCode() const {
  return Checked ? ExitCodeOf(Findings) : kExitUncheckable;
}

std::string_view Report::Verdict() const {
  return Checked ? VerdictOf(Findings) : "unchecked";
}

void WriteText(std::ostream& out, const Report& report) {
  for (const Finding& f : report.Findings) {
    out << Location(f) << ": " << SeverityWord(f.Level) << ": " << f.Message
        << '\n';
    if (!f.VelmMessage.empty())
      out << "    velm says: " << f.VelmMessage << '\n';
    if (!f.Fix.empty()) out << "    fix: " << f.Fix << '\n';
  }
  const std::vector<Finding>& all = report.Findings;
  out << "velm-check: ";
  if (!report.Checked) {
    out << "the directory could not be checked\n";
    return;
  }
  out << Count(CountOf(all, Severity::kError), "error") << ", "
      << Count(CountOf(all, Severity::kWarning), "warning") << ", "
      << Count(CountOf(all, Severity::kNote), "note") << '\n';
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x",
                        static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void WriteJson(std::ostream& out, const Report& report) {
  out << "{\"directory\": " << JsonString(report.Directory)
      << ", \"exit_code\": " << report.ExitCode()
      << ", \"verdict\": " << JsonString(report.Verdict())
      << ", \"findings\": [";
  const char* separator = "\n";
  for (const Finding& f : report.Findings) {
    out << separator << " {\"severity\": " << JsonString(SeverityWord(f.Level))
        << ", \"kind\": " << JsonString(f.Kind)
        << ", \"file\": " << JsonString(f.File) << ", \"line\": ";
    if (f.Line > 0) {
      out << f.Line;
    } else {
      out << "null";
    }
    if (f.LastLine > f.Line) out << ", \"last_line\": " << f.LastLine;
    out << ", \"message\": " << JsonString(f.Message)
        << ", \"fix\": " << JsonString(f.Fix);
    if (!f.VelmMessage.empty()) {
      out << ", \"velm_message\": " << JsonString(f.VelmMessage);
    }
    out << "}";
    separator = ",\n";
  }
  out << "]}\n";
}

}  // namespace velm::check
