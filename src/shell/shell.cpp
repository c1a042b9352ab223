#include "shell/shell.h"

#include "common/vb_error.h"
#include "shell/form_main.h"
#include "shell/form_report.h"
#include "shell/frm_log.h"
#include "shell/frm_portrait.h"
#include "shell/frm_prefs.h"
#include "shell/printer_choice.h"
#include "shell/script_thread.h"
#include "shell/ui_thread.h"

#include <QApplication>
#include <QListWidget>
#include <QPrinter>

#include <algorithm>

// The pictures and icons live in this static library; its resources must
// be registered explicitly, or the linker drops them.
static void registerShellResources()
{
    Q_INIT_RESOURCE(quillet);
}

namespace quillet {

Shell::Shell(DialogService& dialogService)
    : dialogs(dialogService),
      ini([this](const MessageBoxRequest& request) { dialogs.messageBox(dialogParent(), request); }),
      settings(state, ini),
      logging(state, this)
{
    registerShellResources();
    settings.BuildMRUMenu = [this] { mainWindow().BuildMRUMenu(); };
    state.showMousePointer = [this](int16_t shape) { showPointer(shape); };

    // A script's MsgBox and InputBox come from its worker thread.
    script::UiCallbacks ui;
    ui.messageBox = [this](const Text& prompt, int buttons, const Text& title) {
        int answer = 1;
        callOnUiThread([&] { answer = dialogs.scriptMessageBox(dialogParent(), prompt, buttons, title); });
        return answer;
    };
    ui.inputBox = [this](const Text& prompt, const Text& title, const Text& defaultText) {
        std::optional<Text> answer;
        callOnUiThread([&] { answer = dialogs.inputBox(dialogParent(), prompt, title, defaultText); });
        return answer;
    };
    engine.setUiCallbacks(ui);
}

Shell::~Shell()
{
    if (waitCursorShown_)
        QApplication::restoreOverrideCursor();
    logging.setListener(nullptr);
    // The program is ending: the objects the last sheet script left alive
    // end now, under the engine's budget for terminators, and nobody is
    // asked anything any more (MsgBox counts as OK, InputBox gives its
    // default), so no box turns up after the main window has gone.
    engine.setUiCallbacks({});
    engine.reset();
    for (auto it = loadOrder_.rbegin(); it != loadOrder_.rend(); ++it)
        delete it->data();
}

void Shell::track(QWidget* window)
{
    loadOrder_.erase(std::remove(loadOrder_.begin(), loadOrder_.end(), nullptr), loadOrder_.end());
    loadOrder_.emplace_back(window);
}

template <typename Window>
Window& Shell::loadWindow(QPointer<Window>& instance)
{
    if (!instance) {
        instance = new Window(*this);
        track(instance);
    }
    return *instance;
}

void Shell::windowUnloaded(QWidget* window)
{
    loadOrder_.erase(std::remove(loadOrder_.begin(), loadOrder_.end(), window), loadOrder_.end());
    if (main_ == window)
        main_ = nullptr;
    if (report_ == window)
        report_ = nullptr;
    if (portrait_ == window)
        portrait_ = nullptr;
    if (prefs_ == window)
        prefs_ = nullptr;
    if (log_ == window)
        log_ = nullptr;
}

std::vector<QWidget*> Shell::loadedWindows() const
{
    std::vector<QWidget*> windows;
    for (const auto& window : loadOrder_) {
        if (window)
            windows.push_back(window);
    }
    return windows;
}

FormMain* Shell::mainWindowIfLoaded() const
{
    return main_;
}

FormReport* Shell::reportWindowIfLoaded() const
{
    return report_;
}

FrmPortrait* Shell::portraitWindowIfLoaded() const
{
    return portrait_;
}

FrmPrefs* Shell::prefsDialogIfLoaded() const
{
    return prefs_;
}

FrmLog* Shell::logWindowIfLoaded() const
{
    return log_;
}

FormMain& Shell::mainWindow()
{
    return loadWindow(main_);
}

FrmPortrait& Shell::portraitWindow()
{
    return loadWindow(portrait_);
}

FrmPrefs& Shell::prefsDialog()
{
    return loadWindow(prefs_);
}

QPrinter& Shell::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void Shell::renewPrinterIfStuck()
{
    if (printer_ && printer_->printerState() != QPrinter::Idle)
        printer_ = printerLike(*printer_);
}

QWidget* Shell::dialogParent() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return main_;
}

void Shell::showMessage(const Text& text)
{
    dialogs.messageBox(dialogParent(), MessageBoxRequest{text, Text(kAppTitle), MessageIcon::None});
}

void Shell::LogLine(const Text& text)
{
    callOnUiThread([&] { logging.LogLine(text); });
}

void Shell::showPointer(int16_t shape)
{
    if (!QApplication::instance())
        return;
    const bool wait = shape == kPointerHourglass;
    if (wait == waitCursorShown_)
        return;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    waitCursorShown_ = wait;
}

ReportContext Shell::reportContext(RunnerHost& host)
{
    return ReportContext{state, engine, host, [this](const Text& line) { LogLine(line); },
                         [this](const std::function<bool()>& runScript) {
                             return runOffUiThread(runScript, [this] { engine.requestStop(); }, stopDialogDelayMs,
                                                   dialogParent());
                         }};
}

ReportResult Shell::runSheet(bool toPrinter)
{
    ReportContext context = reportContext(*this);
    return PrintReport(context, toPrinter);
}

// ---- What the reader and the runner need of the desktop

void Shell::messageBox(const Text& text)
{
    callOnUiThread([&] { showMessage(text); });
}

void Shell::setMainWindowCaption(const Text& caption)
{
    mainWindow().setWindowTitle(QString::fromStdU16String(caption));
}

void Shell::setPortraitFileName(const Text& fileName)
{
    try {
        portraitWindow().image().setFileName(fileName);
    } catch (const VbError& e) {
        // A portrait that is no picture does not stop the character loading.
        showMessage(u"Character portrait file " + fileName + u" cannot be shown: " + e.description());
    }
}

void Shell::doEvents()
{
    QApplication::processEvents();
}

void Shell::discardReportWindow()
{
    if (!report_)
        return;
    FormReport* old = report_;
    windowUnloaded(old);
    delete old;
}

ReportWindow& Shell::reportWindow()
{
    return loadWindow(report_);
}

void Shell::setStatusText(const Text& text)
{
    mainWindow().setStatusText(text);
}

PortraitImage* Shell::portraitImage()
{
    return &portraitWindow().image();
}

// ---- The logging window, as the logging module drives it

void Shell::logWindowCreated(const WindowMeasures& outer)
{
    if (log_) {
        FrmLog* old = log_;
        windowUnloaded(old);
        delete old;
    }
    log_ = new FrmLog(*this, outer);
    track(log_);
}

void Shell::logWindowShown()
{
    if (log_)
        log_->show();
}

void Shell::logLineRemoved()
{
    if (log_ && log_->list()->count() > 0)
        delete log_->list()->takeItem(0);
}

void Shell::logLineAdded(const Text& line)
{
    if (log_)
        log_->list()->addItem(QString::fromStdU16String(line));
}

void Shell::logLineSelected(size_t index)
{
    if (!log_)
        return;
    log_->list()->setCurrentRow(int(index));
    log_->list()->scrollToItem(log_->list()->currentItem());
}

void Shell::traceFileFailed(const Text& path)
{
    showMessage(u"The log line could not be written to " + path + u".");
}

} // namespace quillet
