#include "cli/print_command.h"

#include "common/file_system.h"
#include "common/stop_request.h"
#include "common/text_lines.h"
#include "common/vb_error.h"
#include "logging/log_text.h"
#include "script/engine.h"
#include "sheet/mod_print_report.h"
#include "sheet/qt/offscreen_runner_host.h"
#include "state/app_state.h"
#include "state/read_character_file.h"
#include "surface/pdf_export.h"
#include "surface/png_export.h"

#include <QDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

namespace quillet {

namespace {

// Each line of a message gets the program's name, so that none passes for
// a log line, and shows its control characters by name.
void printMessage(const Text& text)
{
    TextLines lines(text);
    do
        std::cerr << "quillet-print: " << toUtf8(logLineText(lines.next())) << '\n';
    while (!lines.atEnd());
}

class ConsoleReaderUi : public ReaderUi {
public:
    void messageBox(const Text& text) override { printMessage(text); }
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override {}
};

class ConsoleRunnerHost : public OffscreenRunnerHost {
public:
    void messageBox(const Text& text) override { printMessage(text); }
};

// Once the time is up, raises its own flag (which the writing of the
// output watches) and asks the engine to stop, again and again until the
// command is done: the engine forgets a request when its next call starts.
class Watchdog {
public:
    Watchdog(script::Engine& engine, double seconds)
    {
        if (seconds <= 0)
            return;
        thread_ = std::thread([this, &engine, seconds] {
            std::unique_lock lock(mutex_);
            if (done_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return finished_; }))
                return;
            fired.store(true);
            do
                engine.requestStop();
            while (!done_.wait_for(lock, std::chrono::milliseconds(10), [this] { return finished_; }));
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    std::atomic<bool> fired{false};

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
};

Text withPdfExtension(const Text& path)
{
    const size_t slash = path.rfind(u'/');
    const size_t dot = path.rfind(u'.');
    const Text stem = (dot != Text::npos && (slash == Text::npos || dot > slash)) ? path.substr(0, dot) : path;
    return stem + u".pdf";
}

bool writeOutputs(const surface::Document& document, const PrintOptions& options, const Text& pdfPath)
{
    QString error;
    if (!surface::writePdf(document, QString::fromStdU16String(pdfPath), &error)) {
        printMessage(u"cannot write " + pdfPath + u": " + error.toStdU16String());
        return false;
    }
    if (options.pngFolder) {
        const QString folder = QString::fromStdU16String(*options.pngFolder);
        if (!QDir().mkpath(folder)) {
            printMessage(u"cannot create the folder " + *options.pngFolder);
            return false;
        }
        if (!surface::writePngPages(document, folder + "/page-%1.png", 150, &error)) {
            printMessage(u"cannot write the pages: " + error.toStdU16String());
            return false;
        }
    }
    return true;
}

} // namespace

Text defaultSampleCharacter(const Text& homePath)
{
    return homePath + u"characters/aldric.kvr";
}

int runPrintCommand(const PrintOptions& options)
{
    AppState state;
    state.HomePath = options.homePath;
    state.SetDefaults();
    if (options.sheet)
        state.TesseraFile = *options.sheet;
    if (options.log)
        state.Debug = kTrue; // every log line to standard error, no message box for script errors

    const Text characterFile = options.character.value_or(defaultSampleCharacter(options.homePath));
    ConsoleReaderUi readerUi;
    try {
        if (!ReadCharacterFile(state, readerUi, characterFile))
            return kExitCharacterFailed;
    } catch (const VbError& e) {
        printMessage(u"cannot read the character file " + characterFile + u": error " + decimalText(e.number()) +
                     u": " + e.description());
        return kExitCharacterFailed;
    }

    script::Engine engine;
    script::UiCallbacks ui;
    ui.messageBox = [](const Text& prompt, int, const Text&) {
        printMessage(prompt);
        return 1; // OK
    };
    ui.inputBox = [](const Text& prompt, const Text&, const Text&) -> std::optional<Text> {
        printMessage(prompt);
        return Text();
    };
    engine.setUiCallbacks(ui);

    ConsoleRunnerHost host;
    ReportContext context{state, engine, host,
                          [&](const Text& line) {
                              if (state.Debug != kFalse)
                                  std::cerr << toUtf8(logLineText(line)) << '\n';
                          },
                          {}};
    const Text seconds = fromUtf8(std::to_string(static_cast<long long>(options.timeoutSeconds)));
    // The timeout covers the script, the end of its objects and the writing
    // of the pages.
    Watchdog watchdog(engine, options.timeoutSeconds);
    const ReportResult result = PrintReport(context, true);
    // Objects the script left alive end here, under the timeout, not when
    // the engine goes away: a Class_Terminate that never returns must not
    // keep the command from finishing.
    engine.reset();
    if (result != ReportResult::Printed || watchdog.fired) {
        if (watchdog.fired)
            printMessage(u"the sheet script was stopped after running for " + seconds + u" seconds");
        return kExitSheetFailed;
    }
    // The bundled sample's pages go to the current directory: installed,
    // the program folder is not the user's to write.
    const Text besideCharacter = withPdfExtension(characterFile);
    const Text pdfPath = options.output.value_or(
        options.character ? besideCharacter : besideCharacter.substr(folderOf(besideCharacter).size()));
    StopScope stopping(&watchdog.fired);
    if (!writeOutputs(host.window()->document(), options, pdfPath)) {
        if (watchdog.fired)
            printMessage(u"writing the pages was stopped: the command ran for longer than " + seconds + u" seconds");
        return kExitSheetFailed;
    }
    return kExitPrinted;
}

} // namespace quillet
