#include "check/finding.h"

#include <algorithm>
#include <tuple>

namespace velm::check {
namespace {

bool Has(const std::vector<Finding>& findings, Severity level) {
  return std::any_of(findings.begin(), findings.end(),
                     [level](const Finding& f) { return f.Level == level; });
}

}  // namespace

void SortFindings(std::vector<Finding>& findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) {
                     // What velm says of a file comes before what it
                     // would meet only later.
                     const bool aSilent = a.VelmMessage.empty();
                     const bool bSilent = b.VelmMessage.empty();
                     const int aOrder = FileRow(a.Entry).ReadOrder;
                     const int bOrder = FileRow(b.Entry).ReadOrder;
                     return std::tie(a.Level, aOrder, aSilent, a.Line) <
                            std::tie(b.Level, bOrder, bSilent, b.Line);
                   });
}

int ExitCodeOf(const std::vector<Finding>& findings) {
  if (Has(findings, Severity::kError)) return 1;
  if (Has(findings, Severity::kWarning)) return 2;
  return 0;
}

std::string_view VerdictOf(const std::vector<Finding>& findings) {
  if (Has(findings, Severity::kError)) return "errors";
  if (Has(findings, Severity::kWarning)) return "warnings";
  if (Has(findings, Severity::kNote)) return "notes";
  return "clean";
}

std::string_view SeverityWord(Severity level) {
  switch (level) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    default:
      return "note";
  }
}

}  // namespace velm::check
