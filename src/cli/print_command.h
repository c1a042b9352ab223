// `quillet-print [--sheet TSX] [--output PDF | --output-dir DIR] [--png DIR]
// [--log] [--timeout SECONDS] [--watch] [CHARACTER...]`: reads characters,
// runs a sheet script on each with the same runner as the desktop, and
// writes the pages: one PDF per character, or all of them in one PDF.
#pragma once

#include "common/text.h"

#include <optional>
#include <vector>

namespace quillet {

struct PrintOptions {
    Text homePath;                // the program folder, ending in "/"
    std::optional<Text> sheet;    // default: HomePath + "chrsht.tsx"
    std::vector<Text> characters; // none: the bundled sample
    // One character: its PDF (default: the character file with ".pdf"; for
    // the bundled sample, its name in the current directory).  Several:
    // one PDF holding them all, in the order given.
    std::optional<Text> output;
    // One PDF per character in this folder, named after the character file.
    std::optional<Text> outputDir;
    std::optional<Text> pngFolder;
    bool log = false;
    double timeoutSeconds = 60;
    // Print again whenever the sheet script or a character file is saved,
    // until Ctrl+C.
    bool watch = false;
};

inline constexpr int kExitPrinted = 0;
inline constexpr int kExitSheetFailed = 1;
inline constexpr int kExitCharacterFailed = 2;
inline constexpr int kExitUsage = 3;
inline constexpr int kExitInterrupted = 130; // as shells report Ctrl+C

// Needs a QGuiApplication (fonts).  Messages go to standard error; with
// several characters or --watch, one line per character printed goes to
// standard output.
int runPrintCommand(const PrintOptions& options);

Text defaultSampleCharacter(const Text& homePath);

} // namespace quillet
