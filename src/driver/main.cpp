#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "common/console.h"
#include "common/program_start.h"
#include "driver/program.h"

// velm takes no arguments: everything it needs is named by FILEINFO.dat in
// the working directory. VELM_SEED makes a calibration reproducible;
// VELM_CONSOLE chooses the console's encoding. Only --help or --version as
// the one argument is answered, before anything is read or written; any
// other arguments are ignored.
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
  auto outputEncoding = velm::TerminalEncoding(stdout);
  auto errorEncoding = velm::TerminalEncoding(stderr);
  if (const char* setting = std::getenv("VELM_CONSOLE")) {
    const auto chosen = velm::ParseConsoleEncoding(setting);
    if (!chosen) {
      std::cerr << "velm: VELM_CONSOLE must be cp932 or utf-8; it is '"
                << setting << "'\n";
      return velm::kExitFailed;
    }
    outputEncoding = errorEncoding = *chosen;
  }
  velm::ConsoleStream console(std::cout, outputEncoding);
  velm::ConsoleStream errors(std::cerr, errorEncoding);
  return velm::RunProgramReportingErrors({}, std::move(clock), console, errors);
}
