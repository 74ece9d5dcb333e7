#include "common/program_start.h"
#include "driver/program.h"

// velm takes no arguments: everything it needs is named by FILEINFO.dat in
// the working directory.
int main() {
  velm::UseBinaryConsole();
  return velm::RunProgramReportingErrors();
}
