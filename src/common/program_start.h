#pragma once

// What each program's main does first, so that a program prints and reads
// the same on Windows as on POSIX.

#include <string>
#include <vector>

namespace velm {

// Standard output and standard error pass the program's bytes unchanged. On
// Windows their text mode would turn every LF into CR LF.
void UseBinaryConsole();

// The arguments after the program's name, in UTF-8. Windows hands them over
// in UTF-16 (argv has them in the system's code page, which may lack
// characters of a file name), POSIX as the bytes typed.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace velm
