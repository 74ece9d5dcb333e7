// velm-study: calibration and validation periods, many starts and how far
// the answer moves between them, over many catchments. See --help.

#include <iostream>

#include "common/program_start.h"
#include "study/options.h"
#include "study/study_run.h"

int main(int argc, char** argv) {
  using namespace velm::study;
  velm::UseBinaryConsole();
  StudyOptions options;
  std::vector<CatchmentEntry> catchments;
  try {
    options = ParseOptions(velm::ProgramArguments(argc, argv));
    if (options.Help) {
      std::cout << kUsage;
      return 0;
    }
    if (options.Version) {
      std::cout << "velm-study 1.0\n";
      return 0;
    }
    catchments = CatchmentEntries(options);
  } catch (const UsageError& error) {
    std::cerr << "velm-study: " << error.what() << " (see velm-study --help)\n";
    return 2;
  }
  const std::string token = options.Run.empty() ? LocalRunToken() : options.Run;
  if (!options.CollectOnly) {
    const int failed = RunCatchments(options, catchments, token, std::cerr);
    if (options.Task) return failed == 0 ? 0 : 1;
  }
  return CollectStudy(options, catchments, token, std::cout, std::cerr);
}
