#include <iostream>
#include <string>
#include <vector>

#include "check/command.h"
#include "common/program_start.h"

int main(int argc, char** argv) {
  velm::UseBinaryConsole();
  return velm::check::RunCheckCommand(velm::ProgramArguments(argc, argv),
                                      std::cout, std::cerr);
}
