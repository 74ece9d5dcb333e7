#include "check/check_directory.h"

#include <system_error>

#include "check/catchment.h"
#include "check/file_checks.h"
#include "check/run_checks.h"
#include "check/series_checks.h"
#include "check/unit_checks.h"

namespace velm::check {

Report CheckDirectory(const std::filesystem::path& directory,
                      std::string shown) {
  Report report;
  report.Directory = std::move(shown);
  std::error_code error;
  if (!directory.empty() && !std::filesystem::is_directory(directory, error)) {
    report.Checked = false;
    Finding f;
    f.Kind = "no-directory";
    f.Level = Severity::kError;
    f.File = report.Directory;
    f.Message = std::filesystem::exists(directory, error)
                    ? "this is not a directory"
                    : "there is no such directory";
    f.Fix = "give the catchment directory, the one that holds FILEINFO.dat";
    report.Findings.push_back(std::move(f));
    return report;
  }
  Catchment catchment(directory);
  ReadCatchment(catchment, report.Findings);
  if (catchment.FileInfoRead) {
    CheckFileBytes(catchment, report.Findings);
    CheckSeries(catchment, report.Findings);
    CheckEvaporationUnits(catchment.File(FileEntry::kEvaporation),
                          report.Findings);
    CheckRun(catchment, report.Findings);
    CheckLineEnds(catchment, report.Findings);
  }
  SortFindings(report.Findings);
  return report;
}

}  // namespace velm::check
