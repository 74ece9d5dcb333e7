#include <cstdlib>
#include <iostream>

#include "common/program_start.h"
#include "driver/program.h"

// velm takes no arguments: everything it needs is named by FILEINFO.dat in
// the working directory. VELM_SEED makes a calibration reproducible. Only
// --help or --version as the one argument is answered, before anything is
// read or written; any other arguments are ignored.
int main(int argc, char** argv) {
  velm::UseBinaryConsole();
  if (argc == 2) {
    if (const char* line = velm::InformationLine(argv[1])) {
      std::cout << line << '\n';
      return velm::kExitOk;
    }
  }
  velm::Clock clock = velm::SystemClock();
  if (const char* seed = std::getenv("VELM_SEED")) {
    const auto value = velm::ParseSeed(seed);
    if (!value) {
      std::cerr << "velm: VELM_SEED must be a whole number from 0 to 65535, "
                   "digits only; it is '"
                << seed << "'\n";
      return velm::kExitFailed;
    }
    clock = velm::SeedClock(*value);
  }
  return velm::RunProgramReportingErrors({}, std::move(clock), std::cout,
                                         std::cerr);
}
