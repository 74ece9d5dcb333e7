#include <iostream>
#include <string>
#include <vector>

#include "check/command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return velm::check::RunCheckCommand(arguments, std::cout, std::cerr);
}
