#pragma once

// The three data series: hourly rain, daily potential evaporation (which also
// gives the calendar) and hourly observed runoff. The caller owns the hourly
// arrays; the series fills them.

#include <span>
#include <utility>
#include <vector>

#include "input/file_info.h"
#include "input/run_settings.h"

namespace velm {

// The model steps in hours and reports by day.
inline constexpr int kHoursPerDay = 24;

// Daily totals of an hourly series: the 24 hours of each whole day added
// last hour first. `days` holds at least steps.size() / 24 values.
void SumDaily(std::span<const double> steps, std::span<double> days);

class HydroSeries {
 public:
  // Reads FILEINFO.dat, then the run settings (FILEINFO.dat and the control
  // file again); the data files are read by the operations below.
  HydroSeries();
  // With the files and settings already read.
  HydroSeries(FileInfo files, RunSettings settings)
      : Settings(std::move(settings)), Files(std::move(files)) {}

  // The number of hours of the run: the records of the rain file.
  int CountRainLines() const;

  // Fills one value per hour of rain, and the day's potential evaporation
  // spread evenly over hours 9 to 18 of each day; fills the calendar.
  void ReadRainAndEvaporation(std::span<double> rain,
                              std::span<double> hourlyEP);

  // Fills one value per hour, converted by the catchment area. Hours after
  // the end of a shorter file are 0, so their days count as unobserved.
  void ReadObservedRunoff(std::span<double> observed) const;

  RunSettings Settings;
  FileInfo Files;
  std::vector<int> Year;
  std::vector<int> Month;
  std::vector<int> Day;
};

}  // namespace velm
