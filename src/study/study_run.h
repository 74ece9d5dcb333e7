#pragma once

// A study's run: each catchment prepared, its starts calibrated JOBS at a
// time, its outputs written to its folder; and the collection of those
// folders into study.csv and study.html. A local run does both; a task of a
// Slurm job array runs one catchment and a collecting job the rest, from the
// same files, so both give the same study.csv.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "study/options.h"

namespace velm::study {

struct CatchmentEntry {
  std::string Name;  // the directory's own name, which names its folder
  std::filesystem::path Source;
  std::filesystem::path Folder;  // OUT/NAME
};

// One entry per directory; two directories of the same name are refused
// (UsageError), since their folders would be one.
std::vector<CatchmentEntry> CatchmentEntries(const StudyOptions& options);

// A token for a local run, unique to this process and second.
std::string LocalRunToken();

// Calibrates the catchments (all, or options.Task's alone) and writes each
// one's folder; refusals and failures go to `errors` as they happen. Returns
// how many of them ended without a valid start.
int RunCatchments(const StudyOptions& options,
                   const std::vector<CatchmentEntry>& catchments,
                   const std::string& token, std::ostream& errors);

// study.csv and study.html from the folders of run `token`; a line per
// catchment and the tally on `out`. Returns the exit code: 0 when every
// catchment has a valid start, else 1.
int CollectStudy(const StudyOptions& options,
                 const std::vector<CatchmentEntry>& catchments,
                 const std::string& token, std::ostream& out,
                 std::ostream& errors);

}  // namespace velm::study
