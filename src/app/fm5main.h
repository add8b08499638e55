// Start-up: the entry point of the program.
#pragma once

namespace qel {

// Runs the program: start values, the settings dialog, the help window and
// the main window with its first drawing; then the event loop.
int runProgram(int argc, char** argv);

}  // namespace qel
