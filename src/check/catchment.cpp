#include "check/catchment.h"

#include "check/refusals.h"
#include "check/series_checks.h"
#include "check/wording.h"
#include "input/input_error.h"
#include "input/hydro_series.h"
#include "input/parameter_file.h"

namespace velm::check {
namespace {

void NameFiles(Catchment& c) {
  for (std::size_t i = 0; i < FileInfo::kEntryCount; ++i) {
    NamedFile& file = c.Files[i];
    file.Entry = static_cast<FileEntry>(i + 1);
    file.FileInfoLine = FileInfoLineOf(file.Entry);
    if (!c.FileInfoRead) continue;
    file.Name = c.Inputs.Files().Name(file.Entry);
    file.Shown = ShownText(file.Name);
    file.Path = c.Inputs.PathOf(file.Entry);
  }
}

// Runs one reader; its refusal becomes a finding.
template <typename Read>
void Attempt(Catchment& c, std::vector<Finding>& findings, Read&& read) {
  try {
    read();
  } catch (const InputError& error) {
    findings.push_back(ExplainRefusal(error, c));
  }
}

void OpenInput(Catchment& c, FileEntry entry, std::vector<Finding>& findings) {
  NamedFile& file = c.File(entry);
  try {
    file.Lines = ReadInputFile(c.Inputs, entry);
  } catch (const InputError& error) {
    findings.push_back(ExplainRefusal(error, c));
  }
}

void ReadFileInfo(Catchment& c, std::vector<Finding>& findings) {
  c.FileInfoLines =
      TextLines::Read(c.Inputs.Directory() / kFileInfoName, LastLine::kDropped);
  Attempt(c, findings, [&] {
    c.Inputs.Files();
    c.FileInfoRead = true;
  });
  NameFiles(c);
}

void ReadWeather(Catchment& c, std::vector<Finding>& findings) {
  OpenInput(c, FileEntry::kRain, findings);
  const NamedFile& rain = c.File(FileEntry::kRain);
  if (rain.Lines) {
    Attempt(c, findings, [&] { c.Rain = ParseRain(*rain.Lines); });
    c.RainOrderBreak = FirstOrderBreak(*rain.Lines);
  }
  OpenInput(c, FileEntry::kEvaporation, findings);
  const NamedFile& evaporation = c.File(FileEntry::kEvaporation);
  const std::optional<std::size_t> hours = c.Hours();
  if (!evaporation.Lines || !hours) return;
  // A refused rain record does not change the number of days, so the
  // evaporation file is still judged; its weather is kept with real rain only.
  std::vector<double> values = c.Rain ? *c.Rain : std::vector<double>(*hours);
  Attempt(c, findings, [&] {
    Weather weather = ParseEvaporation(*evaporation.Lines, std::move(values));
    if (c.Rain) c.WeatherRecord = std::move(weather);
  });
}

void ReadObserved(Catchment& c, std::vector<Finding>& findings) {
  OpenInput(c, FileEntry::kObservedRunoff, findings);
  const NamedFile& runoff = c.File(FileEntry::kObservedRunoff);
  const std::optional<std::size_t> hours = c.Hours();
  if (!runoff.Lines || !hours) return;
  // Refusals do not depend on the area, so unknown settings take 1.
  const double area = c.Settings ? c.Settings->CatchmentArea : 1.0;
  Attempt(c, findings, [&] {
    c.Observed = ParseObservedRunoff(*runoff.Lines, *hours, area);
  });
}

}  // namespace

std::optional<std::size_t> Catchment::Hours() const {
  if (Rain) return Rain->size();
  const NamedFile& rain = File(FileEntry::kRain);
  if (!rain.Lines) return std::nullopt;
  return rain.Lines->Count();
}

bool Catchment::ReadsObservedRunoff() const {
  return !Settings || Settings->RunMode != 0 || Settings->ObservedFlag == 1;
}

bool Catchment::WritesResult() const {
  return Settings && (Settings->RunMode != 0 || Settings->OutputFlag == 1);
}

void ReadCatchment(Catchment& c, std::vector<Finding>& findings) {
  ReadFileInfo(c, findings);
  if (!c.FileInfoRead) return;
  OpenInput(c, FileEntry::kControl, findings);
  if (const auto& lines = c.File(FileEntry::kControl).Lines) {
    Attempt(c, findings, [&] { c.Settings = RunSettings::Parse(*lines); });
  }
  ReadWeather(c, findings);
  OpenInput(c, FileEntry::kParameter, findings);
  if (const auto& lines = c.File(FileEntry::kParameter).Lines) {
    Attempt(c, findings, [&] { c.Parameters = ParseParameterFile(*lines); });
  }
  if (c.ReadsObservedRunoff()) ReadObserved(c, findings);
}

std::string MissingNameReason(const Catchment& c, const NamedFile& file) {
  const std::size_t line = file.FileInfoLine;
  const auto& lines = c.FileInfoLines;
  const std::size_t count = lines ? lines->Count() : 0;
  if (line <= count) {
    return "its line " + std::to_string(line) + " has nothing after the comma";
  }
  const TextLines all = TextLines::FromText(
      std::string(lines ? lines->Text() : ""), LastLine::kKept);
  if (line <= all.Count()) {
    return "its line " + std::to_string(line) +
           " has no line end, and velm does not use a last line without one";
  }
  return "it has " + Count(count, "line") + ", and line " +
         std::to_string(line) + " should name it";
}

Finding FindingAt(const NamedFile& file, std::string_view kind,
                  Severity level, std::size_t line, std::string message,
                  std::string fix) {
  Finding f;
  f.Kind = kind;
  f.Level = level;
  f.Entry = file.Entry;
  f.File = file.Shown;
  f.Line = line;
  f.Message = std::move(message);
  f.Fix = std::move(fix);
  return f;
}

}  // namespace velm::check
