// `quillet-print [--sheet TSX] [--output PDF] [--png DIR] [--log]
// [--timeout SECONDS] [CHARACTER]`: reads a character, runs a sheet script
// on it with the same runner as the desktop, and writes the pages.
#pragma once

#include "common/text.h"

#include <optional>

namespace quillet {

struct PrintOptions {
    Text homePath;                 // the program folder, ending in "/"
    std::optional<Text> sheet;     // default: HomePath + "chrsht.tsx"
    std::optional<Text> character; // default: the bundled sample
    // default: the character file with ".pdf"; for the bundled sample, its
    // name in the current directory
    std::optional<Text> output;
    std::optional<Text> pngFolder;
    bool log = false;
    double timeoutSeconds = 60;
};

inline constexpr int kExitPrinted = 0;
inline constexpr int kExitSheetFailed = 1;
inline constexpr int kExitCharacterFailed = 2;
inline constexpr int kExitUsage = 3;

// Needs a QGuiApplication (fonts).  Messages go to standard error.
int runPrintCommand(const PrintOptions& options);

Text defaultSampleCharacter(const Text& homePath);

} // namespace quillet
