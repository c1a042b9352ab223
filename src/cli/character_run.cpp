#include "cli/character_run.h"

#include "cli/print_command.h"
#include "cli/run_watchdog.h"
#include "common/stop_request.h"
#include "common/vb_error.h"
#include "logging/log_text.h"
#include "script/engine.h"
#include "sheet/mod_print_report.h"
#include "sheet/qt/offscreen_runner_host.h"
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <iostream>
#include <string>

namespace quillet {

namespace {

class MessageReaderUi : public ReaderUi {
public:
    explicit MessageReaderUi(const std::function<void(const Text&)>& message) : message_(message) {}
    void messageBox(const Text& text) override { message_(text); }
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override {}

private:
    const std::function<void(const Text&)>& message_;
};

class MessageRunnerHost : public OffscreenRunnerHost {
public:
    explicit MessageRunnerHost(const std::function<void(const Text&)>& message) : message_(message) {}
    void messageBox(const Text& text) override { message_(text); }

private:
    const std::function<void(const Text&)>& message_;
};

} // namespace

RunStatus printCharacter(const PrintOptions& options, const Text& characterFile, const RunHooks& hooks)
{
    AppState state;
    state.HomePath = options.homePath;
    state.SetDefaults();
    if (options.sheet)
        state.TesseraFile = *options.sheet;
    if (options.log)
        state.Debug = kTrue; // every log line to standard error, no message box for script errors

    MessageReaderUi readerUi(hooks.message);
    try {
        if (!ReadCharacterFile(state, readerUi, characterFile))
            return RunStatus::CharacterFailed;
    } catch (const VbError& e) {
        hooks.message(u"cannot read the character file " + characterFile + u": error " + decimalText(e.number()) +
                      u": " + e.description());
        return RunStatus::CharacterFailed;
    }

    script::Engine engine;
    script::UiCallbacks ui;
    ui.messageBox = [&](const Text& prompt, int, const Text&) {
        hooks.message(prompt);
        return 1; // OK
    };
    ui.inputBox = [&](const Text& prompt, const Text&, const Text&) -> std::optional<Text> {
        hooks.message(prompt);
        return Text();
    };
    engine.setUiCallbacks(ui);

    MessageRunnerHost host(hooks.message);
    ReportContext context{state, engine, host,
                          [&](const Text& line) {
                              if (state.Debug != kFalse)
                                  std::cerr << toUtf8(logLineText(line)) << std::endl;
                          },
                          {}};
    const Text seconds = fromUtf8(std::to_string(static_cast<long long>(options.timeoutSeconds)));
    // The time limit covers the script, the end of its objects and the
    // delivery of the pages.
    RunWatchdog watchdog(&engine, options.timeoutSeconds);
    const ReportResult result = PrintReport(context, true);
    // Objects the script left alive end here, under the time limit, not
    // when the engine goes away: a Class_Terminate that never returns must
    // not keep the command from finishing.
    engine.reset();
    if (watchdog.fired && !watchdog.timedOut())
        return RunStatus::Interrupted;
    if (result != ReportResult::Printed || watchdog.fired) {
        if (watchdog.timedOut())
            hooks.message(u"the sheet script was stopped after running for " + seconds + u" seconds");
        return RunStatus::SheetFailed;
    }
    StopScope stopping(&watchdog.fired);
    const bool delivered = hooks.deliver(host.window()->document(), state);
    if (watchdog.fired && !watchdog.timedOut())
        return RunStatus::Interrupted;
    if (!delivered) {
        if (watchdog.timedOut())
            hooks.message(u"writing the pages was stopped: the command ran for longer than " + seconds + u" seconds");
        return RunStatus::SheetFailed;
    }
    return RunStatus::Printed;
}

} // namespace quillet
