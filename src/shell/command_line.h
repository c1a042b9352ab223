// The desktop program's command line: `quillet [FILE]...` names a
// character file and a sheet script to open once the main window is
// shown (a desktop entry's "Exec=quillet %f" hands over one of them);
// --help and --version answer and end.
#pragma once

#include "shell/handed_files.h"

#include <QString>
#include <QStringList>

namespace quillet {

struct CommandLine {
    HandedFiles files; // full paths
    // The program ends at once with this status after printing `output`
    // (on standard output when it is 0, otherwise on standard error).
    bool endNow = false;
    int exitCode = 0;
    QString output;
};

// Reads the arguments as QCoreApplication::arguments() gives them (the
// program's name first).  Relative paths are taken from the current
// directory, so this runs before start-up moves to the program folder.
CommandLine readCommandLine(const QStringList& arguments);

} // namespace quillet
