// One run of quillet-print's work: reads a character, runs the sheet
// script on it with the same runner as the desktop, and hands the pages on
// while the time limit and Ctrl+C still apply.
#pragma once

#include "common/text.h"
#include "surface/document.h"

#include <functional>

namespace quillet {

class AppState;
struct PrintOptions;

enum class RunStatus {
    Printed,
    CharacterFailed, // the character file could not be read
    SheetFailed,     // the sheet script failed, was stopped, or the pages could not be written
    Interrupted,     // Ctrl+C
};

struct RunHooks {
    // What the runner, the reader and the script's MsgBox say, one whole
    // message (possibly of several lines) at a time.
    std::function<void(const Text&)> message;
    // Takes the finished pages (writes them, or keeps them for later),
    // with the state they were printed from (their title comes from the
    // character and the sheet); false when that failed, after saying why
    // through `message`.  Writing gives up when this thread's stop request
    // (common/stop_request.h) is set.
    std::function<bool(const surface::Document&, const AppState&)> deliver;
};

// Runs `options.sheet` (or the bundled sheet) on `characterFile`.
// Needs a QGuiApplication (fonts).  Log lines go to standard error.
RunStatus printCharacter(const PrintOptions& options, const Text& characterFile, const RunHooks& hooks);

} // namespace quillet
