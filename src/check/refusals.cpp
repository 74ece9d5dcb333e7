#include "check/refusals.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>

#include "check/infiltration_range.h"
#include "check/wording.h"
#include "common/code_page.h"
#include "common/number_parse.h"
#include "input/parameter_file.h"
#include "input/run_settings.h"
#include "model/parameter_table.h"
#include "model/simulate.h"

namespace velm::check {
namespace {

namespace fs = std::filesystem;

std::string_view What(const NamedFile& file) {
  return FileRow(file.Entry).What;
}

std::string Line(std::size_t line) { return "line " + std::to_string(line); }

// "lines 2 to 7": where FILEINFO.dat names the files.
std::string FileInfoLines() {
  return "lines " + std::to_string(FileInfoLineOf(FileEntry::kControl)) +
         " to " + std::to_string(FileInfoLineOf(FileEntry::kResult));
}

// "MAX_SoilMoisture (line 5)": a parameter and its line of the parameter
// file.
template <typename Member>
std::string ParameterOnItsLine(Member ParameterSet::*member) {
  const ParameterRow& row = RowOf(member);
  return std::string(row.Name) + " (" + Line(row.FileLine) + ")";
}

const std::size_t kVariableCountLine =
    SettingLine(&RunSettings::VariableCount);
const std::size_t kTankCountLine = RowOf(&ParameterSet::TankCount).FileLine;

// A refusal and what it is about.
struct Context {
  const InputError& Error;
  const Catchment& Read;
  const NamedFile* File;  // nullptr: FILEINFO.dat
  std::size_t Line = 0;
  std::size_t LastLine = 0;

  const std::optional<TextLines>& Lines() const {
    return File != nullptr ? File->Lines : Read.FileInfoLines;
  }
  std::string_view LineText() const {
    return Lines() ? Lines()->LineOrEmpty(Line) : std::string_view();
  }
  std::string Where() const {
    return File != nullptr ? File->Shown : std::string(kFileInfoName);
  }
  fs::path Directory() const { return Read.Inputs.Directory(); }
};

struct Explanation {
  std::string Message;
  std::string Fix;
};

std::string Trimmed(std::string_view name) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!name.empty() && blank(name.front())) name.remove_prefix(1);
  while (!name.empty() && blank(name.back())) name.remove_suffix(1);
  return std::string(name);
}

std::string Lowered(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

// A file of the directory whose name differs from `name` in case alone.
std::optional<std::string> SameButForCase(const fs::path& path) {
  std::error_code error;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const std::string wanted = Lowered(path.filename().string());
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (Lowered(name) == wanted) return name;
  }
  return std::nullopt;
}

std::string OnLine(const NamedFile& file) {
  return "line " + std::to_string(file.FileInfoLine) + " of FILEINFO.dat";
}

Explanation CannotOpenFileInfo(const Context& c) {
  std::error_code error;
  const fs::path path = c.Directory() / kFileInfoName;
  if (!fs::exists(path, error)) {
    return {
        "there is no FILEINFO.dat: velm reads it from its working "
        "directory, and it names every other file",
        "run velm in the catchment's directory, or write FILEINFO.dat "
        "there: a heading on line 1, then 'label,file name' on " +
            FileInfoLines() +
            " for the control, parameter, rain, evaporation and "
            "observed-runoff files and the result file, and a line break at "
            "the end"};
  }
  return {"FILEINFO.dat cannot be opened: " + c.Error.Reason,
          "make FILEINFO.dat a file that velm can read"};
}

std::string OpenFix(const Context& c, const NamedFile& file) {
  std::error_code error;
  const fs::path& path = file.Path;
  const std::string trimmed = Trimmed(file.Name);
  if (trimmed != file.Name && !trimmed.empty() &&
      fs::exists(c.Directory() / trimmed, error)) {
    return "remove the blanks around the name on " + OnLine(file) + ": " +
           Quoted(trimmed) +
           " exists, and everything after the comma is the name";
  }
  if (fs::is_directory(path, error)) {
    return "name the " + std::string(What(file)) + ", not a directory, on " +
           OnLine(file);
  }
  if (fs::exists(path, error)) {
    return "make the file readable for the user who runs velm";
  }
  if (c.Error.InOtherEncoding == NameOnDisk::kUtf8) {
    return "velm opens a name byte for byte: save FILEINFO.dat in UTF-8, as "
           "this system names its files, or rename the file to the name's "
           "code-page-932 form";
  }
  if (c.Error.InOtherEncoding == NameOnDisk::kCp932) {
    return "save FILEINFO.dat in code page 932 (Shift_JIS), the encoding of "
           "the file's name, or rename the file to the name's UTF-8 form";
  }
  if (const auto other = SameButForCase(path)) {
    return "the directory has " + Quoted(*other) +
           ": names are case-sensitive, so write it so on " + OnLine(file);
  }
  const std::string what(What(file));
  return "put the " + what + " there, or correct its name on " + OnLine(file) +
         " (a relative name is taken from the directory velm runs in)";
}

Explanation CannotOpen(const Context& c) {
  const NamedFile& file = *c.File;
  if (file.Name.empty()) {
    return {"FILEINFO.dat names no " + std::string(What(file)) + ": " +
                MissingNameReason(c.Read, file),
            "write 'label," + std::string(What(file)) + " name' on " +
                OnLine(file) + ", and end FILEINFO.dat with a line break"};
  }
  std::string message = "cannot open the " + std::string(What(file)) + " " +
                        Quoted(file.Name) + " named on " + OnLine(file) + ": " +
                        c.Error.Reason;
  if (c.Error.PathTried != file.Name) {
    message += " (the path tried is " + Quoted(c.Error.PathTried) + ")";
  }
  if (c.Error.InOtherEncoding) {
    message += "; " + std::string(OtherEncodingText(*c.Error.InOtherEncoding));
  }
  return {message, OpenFix(c, file)};
}

Explanation NoComma(const Context& c) {
  return {"line " + std::to_string(c.Line) +
              " has no comma: " + Quoted(c.LineText()) +
              "; " + FileInfoLines() +
              " each hold a label, a comma and a file name",
          "write 'label,file name' on line " + std::to_string(c.Line) +
              " (the label is free; the name is everything after the first "
              "comma)"};
}

Explanation NameTooLong(const Context& c) {
  const std::string_view line = c.LineText();
  const std::size_t length = line.size() - line.find(',') - 1;
  return {"the file name on line " + std::to_string(c.Line) + " has " +
              std::to_string(length) + " characters; velm takes at most " +
              std::to_string(FileInfo::kMaxNameLength),
          "shorten the name or its path, for example with a name relative to "
          "the catchment directory"};
}

std::string_view RecordForm(const Context& c) {
  return c.File->Entry == FileEntry::kEvaporation ? "year,month,day,value"
                                                  : "year,month,day,hour,value";
}

// Whether the line is a record with `separator` between its fields: enough
// of them, and a number first.
bool SeparatedBy(std::string_view line, char separator, std::size_t fields) {
  const auto count =
      static_cast<std::size_t>(std::count(line.begin(), line.end(), separator));
  return count + 1 >= fields && StartsWithNumber(line);
}

// The separator a record uses instead of commas, if any.
std::string_view OtherSeparator(std::string_view line, std::size_t fields) {
  if (SeparatedBy(line, '\t', fields)) return "tabs";
  if (SeparatedBy(line, ';', fields)) return "semicolons";
  return "";
}

Explanation TooFewFields(const Context& c) {
  const std::string_view line = c.LineText();
  const auto commas =
      static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
  const std::string form(RecordForm(c));
  const std::string number = std::to_string(c.Line);
  if (line.empty()) {
    return {"line " + number + " is empty; every line is a record " + form,
            "remove the empty line, and any at the end of the file"};
  }
  const auto fields =
      static_cast<std::size_t>(std::count(form.begin(), form.end(), ',')) + 1;
  const std::string_view separator = OtherSeparator(line, fields);
  if (separator.empty()) {
    return {"line " + number + " has " + Count(commas, "comma") + ": " +
                Quoted(line) + "; every line is a record " + form,
            "write line " + number + " as " + form};
  }
  std::string fix = "separate the fields with commas, as in " + form +
                    " (a spreadsheet saves this as CSV, comma-delimited)";
  // Semicolons come with decimal commas.
  if (commas > 0 || separator == "semicolons") {
    fix += ", and write decimals with a point";
  }
  return {"line " + number + " separates its fields with " +
              std::string(separator) + ": " + Quoted(line) +
              "; velm splits a record at commas only and finds " +
              Count(commas, "comma") + " where a record " + form + " has " +
              std::to_string(fields - 1),
          fix};
}

// "the rain file's 8759 hours make 364 whole days and 23 hours".
std::string RainLength(const Context& c) {
  const std::size_t hours = c.Read.Hours().value_or(0);
  std::string out = "the rain file's " + Count(hours, "hour") + " make " +
                    Count(hours / kHoursPerDay, "whole day");
  if (hours % kHoursPerDay != 0) {
    out += " and " + Count(hours % kHoursPerDay, "hour");
  }
  return out;
}

std::string RainHint(const Context& c) {
  const std::size_t hours = c.Read.Hours().value_or(0);
  if (c.Read.RainOrderBreak > 0) {
    return "; the rain file's dates break their hourly order first on line " +
           std::to_string(c.Read.RainOrderBreak) +
           ", which is where to look if it lacks or repeats hours";
  }
  if (hours % kHoursPerDay == 0) return "";
  return "; if the rain file lacks hours (it is " +
         Count(kHoursPerDay - hours % kHoursPerDay, "hour") +
         " short of a whole day), complete it";
}

Explanation TooFewLines(const Context& c) {
  const std::size_t records = c.Lines() ? c.Lines()->Count() : 0;
  return {"the evaporation file has " + Count(records, "record") + ", but " +
              RainLength(c) + ", and each whole day needs its record (line " +
              std::to_string(c.Line) + " is the first one missing)",
          "give one evaporation record per whole day of rain, for the same "
          "days in the same order" +
              RainHint(c)};
}

Explanation TooManyLines(const Context& c) {
  const std::size_t records = c.Lines() ? c.Lines()->Count() : 0;
  const std::string first =
      "line " + std::to_string(c.Line) + " is the first one too many";
  if (c.File->Entry == FileEntry::kEvaporation) {
    return {"the evaporation file has " + Count(records, "record") +
                ", more than the whole days of rain: " + RainLength(c) + "; " +
                first,
            "give one evaporation record per whole day of rain, for the same "
            "days" +
                RainHint(c)};
  }
  return {"the observed-runoff file has " + Count(records, "record") +
              ", more than the rain file's " +
              Count(c.Read.Hours().value_or(0), "hour") + "; " + first,
          "give at most one observed-runoff record per hour of rain, for the "
          "same hours: remove the extra records, or extend the rain file"};
}

Explanation TooManyVariables(const Context& c) {
  const std::string most = std::to_string(RunSettings::kMaxVariableCount);
  return {Line(c.Line) + " asks for " + Quoted(c.LineText()) +
              " genes; velm calibrates at most " + most,
          "use at most " + most + " genes on " + Line(kVariableCountLine) +
              ", and indices from 0 to that number"};
}

Explanation IndexOutOfRange(const Context& c) {
  const std::string_view label =
      c.Lines() ? c.Lines()->LineOrEmpty(c.Line - 1) : std::string_view();
  return {"line " + std::to_string(c.Line) + " (after " + Quoted(label) +
              ") holds the index " + Quoted(c.LineText()) +
              ", which is no gene: an index is 0 (not calibrated) or a gene "
              "from 1 to the number on " +
              Line(kVariableCountLine),
          "set line " + std::to_string(c.Line) +
              " to 0, or to a gene not above the number of genes on " +
              Line(kVariableCountLine)};
}

Explanation TankCountOutOfRange(const Context& c) {
  return {"line " + std::to_string(c.Line) + " gives the number of tanks as " +
              Quoted(c.LineText()) + "; velm takes 0 to " +
              std::to_string(ParameterSet::kMaxTankCount),
          "give a tank count from 0 to " +
              std::to_string(ParameterSet::kMaxTankCount) + " on " +
              Line(kTankCountLine) +
              ", each tank with a label line and its CoeffTank and BotomTank "
              "lines after it"};
}

Explanation ImperviousIsOne(const Context&) {
  return {ParameterOnItsLine(&ParameterSet::Impervious) +
              " is 1: velm sets the tanks' initial depths by dividing by 1 - "
              "Impervious",
          "a catchment with tanks needs an impervious share below 1; for a "
          "wholly impervious catchment set the number of tanks (" +
              Line(kTankCountLine) + ") to 0"};
}

std::string InfiltrationFix(const ParameterSet& main) {
  if (!(main.Coeff_Reduction > 0)) {
    return "give " + ParameterOnItsLine(&ParameterSet::Coeff_Reduction) +
           ", the decay of Horton's curve, a value above 0";
  }
  if (!(main.MAX_SoilMoisture > 0)) {
    return "give " + ParameterOnItsLine(&ParameterSet::MAX_SoilMoisture) +
           " a value above 0";
  }
  const std::vector<ValueRange> ranges = WorkingFinalInfiltration(main);
  const std::string tried = " (values from " + Number(kLowestTried, 6) +
                            " to " + Number(kHighestTried, 6) +
                            " mm/h were tried)";
  if (ranges.empty()) {
    return "no Final_Infiltration works with the other values" + tried +
           ": check " + ParameterOnItsLine(&ParameterSet::MAX_SoilMoisture) +
           ", " + ParameterOnItsLine(&ParameterSet::Coeff_Reduction) +
           " and the field capacity (" +
           Line(RowOf(&ParameterSet::F18_SoilMoisture).FileLine) +
           ", a fraction of MAX_SoilMoisture)";
  }
  return "with the other values as given, " +
         ParameterOnItsLine(&ParameterSet::Final_Infiltration) + " works " +
         DescribeRanges(ranges, main.Final_Infiltration) + tried;
}

Explanation NoMaxInfiltration(const Context& c) {
  if (!c.Lines() || c.Lines()->Count() == 0) {
    return {
        "the parameter file is empty, so every value reads as 0, and "
        "velm cannot derive MAX_Infiltration",
        "write the parameter file: one value on each of lines " +
            std::to_string(RowOf(&ParameterSet::Impervious).FileLine) +
            " to " + std::to_string(kTankCountLine) +
            " and the tank lines (README, Parameter file)"};
  }
  const ParameterSet main = ParseFileValues(*c.Lines());
  const auto given = [&](double ParameterSet::*member) {
    return Number(main.*member, 6) + " (" + Line(RowOf(member).FileLine) + ")";
  };
  return {"velm cannot derive MAX_Infiltration on Horton's curve from "
          "MAX_SoilMoisture " +
              given(&ParameterSet::MAX_SoilMoisture) + ", Final_Infiltration " +
              given(&ParameterSet::Final_Infiltration) + ", Coeff_Reduction " +
              given(&ParameterSet::Coeff_Reduction) +
              " and a field capacity of " + Number(main.F18_SoilMoisture, 6) +
              " mm (" + Line(RowOf(&ParameterSet::F18_SoilMoisture).FileLine) +
              ")",
          InfiltrationFix(main)};
}

Explanation Explain(const Context& c) {
  switch (c.Error.Problem()) {
    case InputProblem::kCannotOpen:
      return c.File == nullptr ? CannotOpenFileInfo(c) : CannotOpen(c);
    case InputProblem::kNoComma:
      return NoComma(c);
    case InputProblem::kNameTooLong:
      return NameTooLong(c);
    case InputProblem::kTooFewFields:
      return TooFewFields(c);
    case InputProblem::kTooFewLines:
      return TooFewLines(c);
    case InputProblem::kTooManyLines:
      return TooManyLines(c);
    case InputProblem::kTooManyVariables:
      return TooManyVariables(c);
    case InputProblem::kIndexOutOfRange:
      return IndexOutOfRange(c);
    case InputProblem::kTankCountOutOfRange:
      return TankCountOutOfRange(c);
    case InputProblem::kImperviousIsOne:
      return ImperviousIsOne(c);
    case InputProblem::kNoMaxInfiltration:
      return NoMaxInfiltration(c);
  }
  return {};
}

}  // namespace

Finding ExplainRefusal(const InputError& error, const Catchment& read) {
  const FileEntry entry = error.File();
  Context c{error, read,
            entry == FileEntry::kFileInfo ? nullptr : &read.File(entry),
            error.Lines().First, error.Lines().Last};
  Finding f;
  f.Level = Severity::kError;
  f.Entry = entry;
  f.File = c.Where();
  f.Line = c.Line;
  f.LastLine = c.LastLine;
  f.VelmMessage = error.Utf8Message();
  f.Kind = ProblemRow(error.Problem()).Id;
  const Explanation e = Explain(c);
  f.Message = e.Message;
  f.Fix = e.Fix;
  // A file that FILEINFO.dat does not name is fixed there.
  if (c.File != nullptr && c.File->Name.empty()) {
    f.Entry = FileEntry::kFileInfo;
    f.File = std::string(kFileInfoName);
    f.Line = f.LastLine = c.File->FileInfoLine;
  }
  return f;
}

Finding ExplainInputError(const std::filesystem::path& directory,
                          const InputError& error) {
  Catchment catchment(directory);
  std::vector<Finding> findings;
  ReadCatchment(catchment, findings);
  return ExplainRefusal(error, catchment);
}

}  // namespace velm::check
