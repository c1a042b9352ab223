// The program's start: settles the program folder, gives the shared
// state its defaults, reads the settings, opens logging, and shows the
// main window.
#pragma once

#include "common/text.h"

namespace quillet {

class Shell;

// Runs the start-up sequence with `programFolder` (ending in "/") as the
// program folder, and returns once the main window is shown.
void Main(Shell& shell, const Text& programFolder);

} // namespace quillet
