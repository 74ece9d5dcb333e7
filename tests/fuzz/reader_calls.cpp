#include "fuzz/reader_calls.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "common/number_parse.h"
#include "common/text_lines.h"
#include "input/hydro_series.h"

namespace velm::fuzz {
namespace {

namespace fs = std::filesystem;

// The process works in its own directory, removed when it ends normally.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "velm-fuzz-XXXXXX");
    Check(mkdtemp(pattern.data()) != nullptr, "scratch directory created");
    path_ = pattern;
    fs::current_path(path_);
  }
  ~ScratchDirectory() {
    std::error_code error;
    fs::remove_all(path_, error);
  }

 private:
  fs::path path_;
};

constexpr std::string_view kFileInfo =
    "files\nc,control.dat\np,param.dat\nr,rain.csv\ne,ep.csv\no,runoff.csv\n"
    "q,result.csv\n";
constexpr std::string_view kControl =
    "control\narea\n36\nmode\n0\nobserved\n1\noutput\n1\n";

constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();

}  // namespace

void PrepareWorkingDirectory() {
  static const ScratchDirectory scratch;
  WriteFile("FILEINFO.dat", kFileInfo);
  WriteFile("control.dat", kControl);
}

void WriteFile(const char* name, std::string_view content) {
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  Check(file.flush().good(), "scratch file written");
}

FileInfo ReadFileInfo() {
  FileInfo files;
  files.Read();
  return files;
}

RunSettings ReadRunSettings() {
  RunSettings settings;
  settings.Read();
  return settings;
}

ParameterSet ReadParameterSet() {
  ParameterSet parameters;
  parameters.Read(0);
  return parameters;
}

RainAndEvaporation ReadRainAndEvaporation() {
  HydroSeries series;
  RainAndEvaporation read;
  read.hours = series.CountRainLines();
  read.rain.assign(static_cast<std::size_t>(read.hours), kUnset);
  read.hourlyEP.assign(read.rain.size(), kUnset);
  series.ReadRainAndEvaporation(read.rain, read.hourlyEP);
  read.year = series.Year;
  read.month = series.Month;
  read.day = series.Day;
  return read;
}

std::vector<double> ReadObservedRunoff() {
  const HydroSeries series;
  std::vector<double> observed(
      static_cast<std::size_t>(series.CountRainLines()), kUnset);
  series.ReadObservedRunoff(observed);
  return observed;
}

int ParseInt(std::string_view text) { return velm::ParseInt(text); }
double ParseReal(std::string_view text) { return velm::ParseReal(text); }

std::vector<std::string> SplitLines(std::string text, bool keepLastLine) {
  const TextLines lines = TextLines::FromText(
      std::move(text), keepLastLine ? LastLine::kKept : LastLine::kDropped);
  std::vector<std::string> split;
  for (std::size_t i = 0; i < lines.Count(); ++i) {
    split.emplace_back(lines[i]);
  }
  Check(lines.LineOrEmpty(0).empty() &&
            lines.LineOrEmpty(lines.Count() + 1).empty(),
        "lines outside the file read as empty");
  return split;
}

std::size_t CountDataLines(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t feed; (feed = text.find('\n')) != text.npos;) {
    std::size_t length = feed;
    if (length > 0 && text[length - 1] == '\r') --length;
    count += length / 1023 + 1;
    text.remove_prefix(feed + 1);
  }
  return count;
}

}  // namespace velm::fuzz
