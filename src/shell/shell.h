// The running program: the shared state with the modules that work on it
// (settings, logging, the script engine), the program-wide window
// instances, and what the character reader and the sheet-script runner
// need of the desktop.  Start-up creates one; tests create one per test
// with a scripted dialog service.
#pragma once

#include "character/reader_ui.h"
#include "logging/log_window_listener.h"
#include "logging/mod_logging.h"
#include "script/engine.h"
#include "settings/mod_ini.h"
#include "settings/settings_file.h"
#include "sheet/mod_print_report.h"
#include "sheet/runner_host.h"
#include "shell/dialog_service.h"
#include "state/app_state.h"

#include <QPointer>

#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace quillet {

class FormMain;
class FormReport;
class FrmLog;
class FrmPortrait;
class FrmPrefs;

class Shell : public ReaderUi, public RunnerHost, public LogWindowListener {
public:
    explicit Shell(DialogService& dialogs);
    ~Shell() override;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    DialogService& dialogs;
    AppState state;
    modINI ini;
    SettingsFile settings;
    modLogging logging;
    script::Engine engine; // ScriptControl1 of the main window

    // The portrait window's Portrait value: the picture path in use.  It
    // outlives the window, which is created afresh each time it is loaded.
    Text portraitPath;

    // How long a sheet script runs before the "Stop script" dialog offers
    // to end it.
    int stopDialogDelayMs = 1000;

    // The program-wide windows: each is created on first use and afresh
    // after it was closed.  The ...IfLoaded forms never create one.
    FormMain& mainWindow();
    FormMain* mainWindowIfLoaded() const;
    FormReport* reportWindowIfLoaded() const;
    FrmPortrait& portraitWindow();
    FrmPortrait* portraitWindowIfLoaded() const;
    FrmPrefs& prefsDialog();
    FrmPrefs* prefsDialogIfLoaded() const;
    FrmLog* logWindowIfLoaded() const;
    // Each window reports here when it closes; its instance is released
    // and the next reference makes a fresh one.
    void windowUnloaded(QWidget* window);
    // The loaded windows, oldest first.
    std::vector<QWidget*> loadedWindows() const;

    // The printer that Print Setup chooses and Print prints on.
    QPrinter& printer();
    // After a print that did not finish: a printer Qt still holds as
    // printing is replaced by a fresh one set up the same way, so that
    // Print Setup and the next Print work.
    void renewPrinterIfStuck();

    // The window that message boxes belong to: the active modal window, or
    // the main window.
    QWidget* dialogParent() const;
    void showMessage(const Text& text);
    // Callable from any thread (sheet scripts log from their worker).
    void LogLine(const Text& text);

    // Runs the current sheet script: printed, or previewed in the modal
    // preview window.
    ReportResult runSheet(bool toPrinter);
    // The runner's context for a run of the current sheet whose windows
    // come from `host`: logged like any run, on the worker thread with the
    // Stop dialog.
    ReportContext reportContext(RunnerHost& host);

    // ReaderUi and RunnerHost
    void messageBox(const Text& text) override;
    void setMainWindowCaption(const Text& caption) override;
    void setPortraitFileName(const Text& fileName) override;
    void doEvents() override;
    void discardReportWindow() override;
    ReportWindow& reportWindow() override;
    void setStatusText(const Text& text) override;
    PortraitImage* portraitImage() override;

    // LogWindowListener
    void logWindowCreated(const WindowMeasures& outer) override;
    void logWindowShown() override;
    void logLineRemoved() override;
    void logLineAdded(const Text& line) override;
    void logLineSelected(size_t index) override;
    void traceFileFailed(const Text& path) override;

private:
    void track(QWidget* window);
    // The window in `instance`, made (and tracked) when none is loaded.
    template <typename Window>
    Window& loadWindow(QPointer<Window>& instance);
    void showPointer(int16_t shape);

    QPointer<FormMain> main_;
    QPointer<FormReport> report_;
    QPointer<FrmPortrait> portrait_;
    QPointer<FrmPrefs> prefs_;
    QPointer<FrmLog> log_;
    std::vector<QPointer<QWidget>> loadOrder_;
    std::unique_ptr<QPrinter> printer_;
    bool waitCursorShown_ = false;
};

} // namespace quillet
