// Running the current sheet script (module modPrintReport): read it, check
// it is marked as VBScript, hand it to the engine with "Char" and
// "Preview", call main, then preview or print the pages.
#pragma once

#include "common/text.h"

#include <functional>

namespace quillet {

class AppState;
class RunnerHost;
namespace script {
class Engine;
}

enum class ReportResult {
    SheetMissing,   // the sheet-script file does not exist (or cannot be read)
    NotVBScript,    // its first line is not 'VBScript
    ScriptFailed,   // a compile or run-time error, reported to the user
    Printed,
    Previewed,
};

// A script that failed to compile or run: the error and where it stopped.
struct ScriptFailure {
    int number = 0;
    Text description;
    int line = 0;     // 0 when no line of the script is to blame
    Text lineText;    // that line as the file holds it
};

struct ReportContext {
    AppState& state;
    script::Engine& engine;
    RunnerHost& host;
    std::function<void(const Text&)> logLine;
    // Runs the script (adding its code and calling main) and returns
    // whether it succeeded.  Empty: run it right here.  The desktop runs it
    // on a worker thread so that it can offer to stop a runaway script.
    std::function<bool(const std::function<bool()>& runScript)> runScript;
    // Where a script error goes.  Empty: the log and a message box (none
    // while Debug is on).  Set: the log and this, never a message box.
    std::function<void(const ScriptFailure&)> scriptFailed = {};
};

// Reads TesseraFile into ScriptHost, one entry per line without its line
// end (CR LF, LF or a lone CR end a line).
void ReadScriptLines(AppState& state);

ReportResult PrintReport(ReportContext& context, bool toPrinter);

} // namespace quillet
