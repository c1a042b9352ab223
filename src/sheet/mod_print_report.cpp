#include "sheet/mod_print_report.h"

#include "common/file_system.h"
#include "common/stop_request.h"
#include "common/text_lines.h"
#include "common/vb_error.h"
#include "script/engine.h"
#include "sheet/character_growth.h"
#include "sheet/character_objects.h"
#include "sheet/cls_print_wrapper.h"
#include "sheet/print_surface.h"
#include "sheet/runner_host.h"
#include "state/app_state.h"

namespace quillet {

namespace {

const Text kLogPrefix = u"PrintReport:: ";

Text lineOfScript(const AppState& state, int line)
{
    if (line < 1 || line > state.ScriptHost.Lines.Count())
        return Text();
    return *state.ScriptHost.Lines.Item(line);
}

ReportResult reportError(ReportContext& c, int number, const Text& description, int line)
{
    const Text first = u"Error " + decimalText(number) + u":" + description + u" in line " + decimalText(line);
    const Text lineText = lineOfScript(c.state, line);
    c.logLine(first);
    c.logLine(u"line is: " + lineText);
    if (c.scriptFailed)
        c.scriptFailed(ScriptFailure{number, description, line, lineText});
    else if (c.state.Debug == kFalse)
        c.host.messageBox(first + c.state.CRLF + u"line is: " + lineText);
    c.state.PopMousePointer();
    return ReportResult::ScriptFailed;
}

} // namespace

void ReadScriptLines(AppState& state)
{
    state.ScriptHost.Clear();
    const Text content = decodeFileText(readFileBytes(state.TesseraFile));
    TextLines lines(content);
    while (!lines.atEnd())
        state.ScriptHost.addLine(Text(lines.next()));
}

ReportResult PrintReport(ReportContext& c, bool toPrinter)
{
    AppState& state = c.state;
    if (!FileExists(state.TesseraFile)) {
        c.host.messageBox(u"The TSX file " + state.TesseraFile +
                          u" does not exist. Please load a file that does exist.");
        return ReportResult::SheetMissing;
    }

    c.logLine(kLogPrefix + u"Getting script lines");
    try {
        ReadScriptLines(state);
    } catch (const VbError& e) {
        // The file exists but cannot be read (permissions, a folder...).
        c.host.messageBox(u"The TSX file " + state.TesseraFile + u" could not be read: " + e.description());
        c.logLine(kLogPrefix + u"Getting script lines: Aborted");
        return ReportResult::SheetMissing;
    }

    // An empty file has no first line to check and counts as unmarked.
    const Text firstLine = state.ScriptHost.Lines.Count() > 0 ? lowerCase(*state.ScriptHost.Lines.Item(1)) : Text();
    if (firstLine != u"'vbscript") {
        c.host.messageBox(u"The TSX file is not marked as a VBScript file, so it can't be run in this version of "
                          u"QUILLET." + state.CRLF + u"You should have \"'VBScript\" as the first line of the file "
                          u"if it's a proper VBScript TSX file.");
        c.logLine(kLogPrefix + u"'VBScript designation missing from first line");
        c.logLine(kLogPrefix + u"Getting script lines: Aborted");
        return ReportResult::NotVBScript;
    }

    Text scriptText;
    for (const auto& line : state.ScriptHost.Lines) {
        scriptText += *line;
        scriptText += u"\r\n";
    }

    c.host.discardReportWindow();
    state.PushMousePointer(kPointerHourglass);
    c.logLine(kLogPrefix + u"Beginning script processing");

    ReportWindow& window = c.host.reportWindow();
    PrintSurface& surface = window.surface();
    // What the surface substitutes (an unknown font, say) goes to the log
    // while the script runs.
    surface.setDiagnosticSink(c.logLine);
    surface.startDoc();
    auto* printObject = new clsPrintWrapper(c.logLine, c.host.portraitImage());
    const script::Value preview = script::Value::object(printObject);
    printObject->SetPrintPreviewObject(&surface);

    const script::Value character = characterObject(state.currentCharacterPtr());

    // The script may read the files beside itself and beside the
    // character (a table of house rules, an equipment list); relative
    // paths start in its own folder.
    script::FileAccess files;
    files.currentFolder = folderOf(state.TesseraFile);
    files.readableFolders.push_back(files.currentFolder);
    if (!state.CurrentCharFile.empty())
        files.readableFolders.push_back(folderOf(state.CurrentCharFile));

    // The reset belongs to the run: it ends the objects the last script
    // left alive, and a Class_Terminate that never returns must be as
    // stoppable as main itself.  The surface and the print object watch the
    // same stop request as the engine, on whichever thread runs the script.
    const std::function<bool()> runScript = [&] {
        // One run for the Stop button: a stop asked for while the last
        // script's objects end, or between any two of these calls, ends it.
        script::Engine::RunGroup group(c.engine);
        StopScope stopping(&c.engine.stopFlag());
        c.engine.setFileAccess(files);
        c.engine.reset();
        CharacterGrowthScope growth(state.currentCharacterPtr());
        c.engine.addObject(u"Preview", preview, true);
        c.engine.addObject(u"Char", character, true);
        return c.engine.addCode(scriptText) && c.engine.run(u"main");
    };
    const bool succeeded = c.runScript ? c.runScript(runScript) : runScript();
    // The window, and the surface with it, may go before the log does.
    surface.setDiagnosticSink({});
    // The script may still hold the print object; it must not reach a
    // surface that the next run discards.
    printObject->SetPrintPreviewObject(nullptr);
    if (!succeeded) {
        const script::ScriptErrorInfo& error = c.engine.lastError();
        return reportError(c, error.number, error.description, error.line);
    }

    try {
        // Finishing the last page (its header and footer) is stoppable too.
        StopScope stopping(&c.engine.stopFlag());
        surface.endDoc();
    } catch (const VbError& e) {
        return reportError(c, e.number(), e.description(), 0);
    }
    c.logLine(kLogPrefix + u"Script processing completed");
    window.showPreviewWindow();
    c.host.setStatusText(Text());
    state.PopMousePointer();

    if (toPrinter) {
        window.printDocument();
        return ReportResult::Printed;
    }
    window.showModal();
    return ReportResult::Previewed;
}

} // namespace quillet
