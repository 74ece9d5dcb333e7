#include "check/file_checks.h"

#include <algorithm>

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
        file, "byte-order-mark", Severity::kWarning, 1,
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
      file, "byte-order-mark", Severity::kNote, 1,
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
      FindingAt(file, "last-line-unended", Severity::kWarning, file.Lines->Count() + 1,
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
      file, "name-blanks", Severity::kWarning, 0,
      "the name " + Quoted(name) + " on line " +
          std::to_string(file.FileInfoLine) +
          " of FILEINFO.dat has blanks at its ends, which are part of the "
          "name",
      "remove the blanks after the comma and at the end of line " +
          std::to_string(file.FileInfoLine) +
          " of FILEINFO.dat, and rename "
          "the file to match");
  f.Entry = FileEntry::kFileInfo;
  f.File = "FILEINFO.dat";
  f.Line = file.FileInfoLine;
  findings.push_back(std::move(f));
}

// Carriage returns that no line feed follows: velm ends a line only at a
// line feed, so each joins two lines into one.
struct LoneReturns {
  std::size_t Count = 0;
  std::size_t FirstLine = 0;
  bool NoFeed = false;  // the file has no line feed at all
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// In a file that has line feeds, a CR alone counts where it parts two
// records, a value's last digit from a year's first; elsewhere, as in binary
// garbage, it ends nothing that was meant as a line.
LoneReturns FindLoneReturns(std::string_view text, bool records) {
  LoneReturns found;
  found.NoFeed = text.find('\n') == std::string_view::npos;
  for (std::size_t i = text.find('\r'); i != std::string_view::npos;
       i = text.find('\r', i + 1)) {
    const bool atEnd = i + 1 == text.size();
    if (!found.NoFeed && (atEnd || !records || text[i + 1] == '\n' || i == 0 ||
                          !IsDigit(text[i - 1]) || !IsDigit(text[i + 1]))) {
      continue;
    }
    if (found.Count++ == 0) {
      found.FirstLine = 1 + static_cast<std::size_t>(std::count(
                                text.begin(), text.begin() + i, '\n'));
    }
  }
  return found;
}

std::string WhatVelmReads(const NamedFile& file) {
  const std::string dropped =
      "the whole file as one line without a line end, which it drops: ";
  if (file.Entry == FileEntry::kFileInfo) {
    return dropped + "FILEINFO.dat names no file";
  }
  if (file.Entry == FileEntry::kControl ||
      file.Entry == FileEntry::kParameter) {
    return "the whole file as line 1, so every value after it reads as 0";
  }
  if (file.Entry == FileEntry::kRain) {
    return dropped +
           "the run has no hour, and every record of the evaporation and "
           "observed-runoff files is one too many";
  }
  return dropped + "the file holds no record";
}

Finding LoneReturnFinding(const NamedFile& file, const LoneReturns& found) {
  const std::string message =
      found.NoFeed
          ? "the lines end with a carriage return alone (CR, as classic Mac "
            "OS wrote text), and velm ends a line only at a line feed: it "
            "reads " +
                WhatVelmReads(file)
          : "line " + std::to_string(found.FirstLine) +
                " holds a carriage return that ends no line (CR alone; " +
                std::to_string(found.Count) +
                " in all): velm ends a line only at a line feed, so it "
                "reads the text on either side of each as one line, and a "
                "line is lost in each";
  return FindingAt(file, "lone-carriage-return", Severity::kError, found.FirstLine, message,
                   "save the file with CR LF (Windows) or LF line ends");
}

// The files that a file read without lines leaves with errors of their
// own: the rain file sets the hours of the other two, and the names that
// FILEINFO.dat lacks are errors of FILEINFO.dat.
std::vector<FileEntry> Affected(const NamedFile& file) {
  if (file.Entry == FileEntry::kRain) {
    return {FileEntry::kRain, FileEntry::kEvaporation,
            FileEntry::kObservedRunoff};
  }
  return {file.Entry};
}

// The errors that follow from a file read without lines give way to the one
// error that names the cause, which takes what velm says first.
void FoldInto(Finding& cause, const NamedFile& file,
              std::vector<Finding>& findings) {
  const std::vector<FileEntry> affected = Affected(file);
  SortFindings(findings);
  std::erase_if(findings, [&](const Finding& f) {
    const bool follows =
        f.Level == Severity::kError &&
        std::find(affected.begin(), affected.end(), f.Entry) != affected.end();
    if (follows && cause.VelmMessage.empty()) cause.VelmMessage = f.VelmMessage;
    return follows;
  });
}

}  // namespace

void CheckLineEnds(const Catchment& c, std::vector<Finding>& findings) {
  std::vector<Finding> causes;
  if (c.FileInfoLines) {
    NamedFile info;
    info.Shown = std::string(kFileInfoName);
    const LoneReturns found = FindLoneReturns(c.FileInfoLines->Text(), false);
    if (found.Count > 0) {
      Finding cause = LoneReturnFinding(info, found);
      if (found.NoFeed) FoldInto(cause, info, findings);
      causes.push_back(std::move(cause));
    }
  }
  for (const NamedFile& file : c.Files) {
    if (!file.Lines) continue;
    const LoneReturns found =
        FindLoneReturns(file.Lines->Text(), IsData(file.Entry));
    if (found.Count == 0) continue;
    Finding cause = LoneReturnFinding(file, found);
    if (found.NoFeed && IsData(file.Entry)) FoldInto(cause, file, findings);
    causes.push_back(std::move(cause));
  }
  findings.insert(findings.end(), causes.begin(), causes.end());
}

void CheckFileBytes(const Catchment& c, std::vector<Finding>& findings) {
  if (c.FileInfoLines && c.FileInfoLines->Text().starts_with(kByteOrderMark)) {
    NamedFile info;
    info.Shown = "FILEINFO.dat";
    info.Lines = c.FileInfoLines;
    CheckByteOrderMark(info, findings);
  }
  for (const NamedFile& file : c.Files) {
    CheckNameBlanks(file, findings);
    if (!file.Lines) continue;
    CheckByteOrderMark(file, findings);
    // A file without line feeds has a finding of its own.
    const bool lineFeeds = file.Lines->Text().find('\n') != std::string::npos;
    if (IsData(file.Entry) && lineFeeds) CheckLastLineEnd(file, findings);
  }
  const NamedFile& control = c.File(FileEntry::kControl);
  if (control.Lines && control.Lines->Count() == 0) {
    findings.push_back(
        FindingAt(control, "empty-control-file", Severity::kWarning, 0,
                  "the control file is empty, so every setting reads as 0: a "
                  "simulation that compares nothing and writes no result file",
                  "write the control file (README, Control file)"));
  }
}

}  // namespace velm::check
