// The program's start: settles the program folder, gives the shared
// state its defaults, reads the settings, opens logging, and shows the
// main window.
#pragma once

#include "common/text.h"
#include "shell/handed_files.h"

namespace quillet {

class Shell;

// Runs the start-up sequence with `programFolder` (ending in "/") as the
// program folder, and returns once the main window is shown and has opened
// the files handed over on the command line.
void Main(Shell& shell, const Text& programFolder, const HandedFiles& files = {});

} // namespace quillet
