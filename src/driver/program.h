#pragma once

namespace velm {

// One run in the working directory: builds the settings, the model and the
// optimizer in this order (which fixes the order in which input files are
// first read), runs the mode the control file asks for, and returns the exit
// code. Input that cannot be read ends the run with an InputError.
int RunProgram();

// RunProgram, with an InputError's message (and an empty line) written to
// standard output and exit code 1.
int RunProgramReportingErrors();

}  // namespace velm
