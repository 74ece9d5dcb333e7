#pragma once

// What the fuzz harnesses need from the readers, in one place: the readers
// take their files from the working directory, so each call here works in a
// private scratch directory that the harness fills first.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/input_error.h"
#include "input/file_info.h"
#include "input/parameter_set.h"
#include "input/run_settings.h"

namespace velm::fuzz {

// Enters the scratch directory (once per process) and writes a FILEINFO.dat
// naming control.dat, param.dat, rain.csv, ep.csv, runoff.csv and
// result.csv, and a control file for a simulation with a catchment of 36.
void PrepareWorkingDirectory();
void WriteFile(const char* name, std::string_view content);

FileInfo ReadFileInfo();
RunSettings ReadRunSettings();
ParameterSet ReadParameterSet();

// Hourly arrays start as NaN, which no reader may leave in place.
struct RainAndEvaporation {
  int hours = 0;
  std::vector<double> rain;
  std::vector<double> hourlyEP;
  std::vector<int> year;
  std::vector<int> month;
  std::vector<int> day;
};
RainAndEvaporation ReadRainAndEvaporation();
// One entry per hour of the rain file.
std::vector<double> ReadObservedRunoff();

int ParseInt(std::string_view text);
double ParseReal(std::string_view text);
std::vector<std::string> SplitLines(std::string text, bool keepLastLine);

// The readers' own splitting rule restated: the lines of a data file whose
// last line without a line feed is dropped, long lines split into pieces of
// 1023 characters.
std::size_t CountDataLines(std::string_view text);

// A broken invariant is a finding: stop the way a sanitizer would.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace velm::fuzz
