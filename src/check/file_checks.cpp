#include "check/file_checks.h"

#include "check/wording.h"

namespace velm::check {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kNoMarkFix =
    "save the file without a byte order mark (plain text, or UTF-8 without "
    "BOM)";

bool IsData(FileEntry entry) {
  return entry == FileEntry::kRain || entry == FileEntry::kEvaporation ||
         entry == FileEntry::kObservedRunoff;
}

void CheckByteOrderMark(const NamedFile& file, std::vector<Finding>& findings) {
  if (!file.Lines->Text().starts_with(kByteOrderMark)) return;
  if (file.Entry == FileEntry::kEvaporation) {
    findings.push_back(FindingAt(
        file, Severity::kWarning, 1,
        "the file begins with a UTF-8 byte order mark, which velm reads as "
        "part of the first record's year: the year holds no number and reads "
        "as 0, so the result file dates the first day in year 0",
        std::string(kNoMarkFix)));
    return;
  }
  const std::string where =
      IsData(file.Entry) ? "the first record's year, a field it does not use"
                         : "line 1, a line it does not use";
  findings.push_back(FindingAt(
      file, Severity::kNote, 1,
      "the file begins with a UTF-8 byte order mark, which velm reads as part "
      "of " +
          where,
      std::string(kNoMarkFix)));
}

// A data file's last line without a line feed is not a record.
void CheckLastLineEnd(const NamedFile& file, std::vector<Finding>& findings) {
  const std::string_view text = file.Lines->Text();
  const std::size_t lastFeed = text.rfind('\n');
  std::string_view last =
      lastFeed == std::string_view::npos ? text : text.substr(lastFeed + 1);
  if (last.ends_with('\r')) last.remove_suffix(1);
  if (last.empty()) return;
  findings.push_back(
      FindingAt(file, Severity::kWarning, file.Lines->Count() + 1,
                "the last line has no line end, so velm does not read it: " +
                    Quoted(last) + " is lost",
                "end the file with a line break"));
}

void CheckNameBlanks(const NamedFile& file, std::vector<Finding>& findings) {
  const std::string& name = file.Name;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (name.empty() || (!blank(name.front()) && !blank(name.back()))) return;
  // A name that cannot be opened has this in its error.
  if (file.Entry != FileEntry::kResult && !file.Lines) return;
  Finding f = FindingAt(
      file, Severity::kWarning, 0,
      "the name " + Quoted(name) + " on line " +
          std::to_string(file.FileInfoLine) +
          " of FILEINFO.dat has blanks at its ends, which are part of the "
          "name",
      "remove the blanks after the comma and at the end of line " +
          std::to_string(file.FileInfoLine) +
          " of FILEINFO.dat, and rename "
          "the file to match");
  f.Order = FileOrder::kFileInfo;
  f.File = "FILEINFO.dat";
  f.Line = file.FileInfoLine;
  findings.push_back(std::move(f));
}

}  // namespace

void CheckFileBytes(const Catchment& c, std::vector<Finding>& findings) {
  if (c.FileInfoLines && c.FileInfoLines->Text().starts_with(kByteOrderMark)) {
    NamedFile info;
    info.Shown = "FILEINFO.dat";
    info.Order = FileOrder::kFileInfo;
    info.Lines = c.FileInfoLines;
    CheckByteOrderMark(info, findings);
  }
  for (const NamedFile& file : c.Files) {
    CheckNameBlanks(file, findings);
    if (!file.Lines) continue;
    CheckByteOrderMark(file, findings);
    if (IsData(file.Entry)) CheckLastLineEnd(file, findings);
  }
  const NamedFile& control = c.File(FileEntry::kControl);
  if (control.Lines && control.Lines->Count() == 0) {
    findings.push_back(
        FindingAt(control, Severity::kWarning, 0,
                  "the control file is empty, so every setting reads as 0: a "
                  "simulation that compares nothing and writes no result file",
                  "write the control file (README, Control file)"));
  }
}

}  // namespace velm::check
