#include "cli/print_command.h"

#include "common/vb_error.h"
#include "script/engine.h"
#include "sheet/mod_print_report.h"
#include "sheet/qt/qt_portrait_image.h"
#include "sheet/qt/surface_adapter.h"
#include "sheet/runner_host.h"
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

void printMessage(const Text& text)
{
    std::cerr << "quillet-print: " << toUtf8(text) << '\n';
}

class ConsoleReaderUi : public ReaderUi {
public:
    void messageBox(const Text& text) override { printMessage(text); }
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override {}
};

// The preview window of a console run: a surface whose finished pages are
// written to files instead of shown or printed.
class FileReportWindow : public ReportWindow {
public:
    FileReportWindow() : adapter_(surface_) {}
    PrintSurface& surface() override { return adapter_; }
    void showPreviewWindow() override {}
    void showModal() override {}
    void printDocument() override { finished = true; }

    const surface::Document& document() const { return surface_.document(); }
    bool finished = false;

private:
    surface::Surface surface_;
    SurfaceAdapter adapter_;
};

class ConsoleRunnerHost : public RunnerHost {
public:
    void messageBox(const Text& text) override { printMessage(text); }
    void discardReportWindow() override { window_.reset(); }
    ReportWindow& reportWindow() override
    {
        if (!window_)
            window_ = std::make_unique<FileReportWindow>();
        return *window_;
    }
    void setStatusText(const Text&) override {}
    PortraitImage* portraitImage() override { return &portrait_; }

    FileReportWindow* window() { return window_.get(); }

private:
    std::unique_ptr<FileReportWindow> window_;
    QtPortraitImage portrait_;
};

// Asks the engine to stop once the time is up, unless the run ends first.
class Watchdog {
public:
    Watchdog(script::Engine& engine, double seconds)
    {
        if (seconds <= 0)
            return;
        thread_ = std::thread([this, &engine, seconds] {
            std::unique_lock lock(mutex_);
            if (!done_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return finished_; })) {
                fired = true;
                engine.requestStop();
            }
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
                                  std::cerr << toUtf8(line) << '\n';
                          },
                          {}};
    ReportResult result;
    bool timedOut;
    {
        Watchdog watchdog(engine, options.timeoutSeconds);
        result = PrintReport(context, true);
        // Objects the script left alive end here, under the timeout, not
        // when the engine goes away: a Class_Terminate that never returns
        // must not keep the command from finishing.
        engine.reset();
        timedOut = watchdog.fired;
    }
    if (result != ReportResult::Printed) {
        if (timedOut)
            printMessage(u"the sheet script was stopped after running for " +
                         fromUtf8(std::to_string(static_cast<long long>(options.timeoutSeconds))) + u" seconds");
        return kExitSheetFailed;
    }
    const Text pdfPath = options.output.value_or(withPdfExtension(characterFile));
    if (!writeOutputs(host.window()->document(), options, pdfPath))
        return kExitSheetFailed;
    return kExitPrinted;
}

} // namespace quillet
