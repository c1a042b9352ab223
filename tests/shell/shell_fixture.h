// A running program per test: a fresh program folder (a temporary copy of
// the bundled sheet and the sample characters), the scripted dialog
// service, and helpers to drive the real windows headless.
#pragma once

#include "scripted_dialogs.h"
#include "shell/form_main.h"
#include "shell/shell.h"

// The windows and widgets the tests drive.
#include "shell/form_report.h"
#include "shell/frm_log.h"
#include "shell/frm_prefs.h"
#include "shell/preview_controls.h"
#include "surface/widgets/preview_widget.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

namespace quillet::testing {

void ensureQtApplication();

// A visible top-level window with that object name, or null.
QWidget* shownWindow(const char* objectName);

// Children of `window` by their object names.
inline QPushButton* button(const QWidget& window, const char* name)
{
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}
inline QLabel* label(const QWidget& window, const char* name)
{
    return window.findChild<QLabel*>(QString::fromLatin1(name));
}

// The caption of the main window without a character.
inline Text programCaption() { return u"KVR Character Printer " + VersionText(); }

// Calls `then` with the window `find` gives once it gives one.  One that
// never comes fails the test, after ten seconds, and ends whatever modal
// loop runs.
void whenFound(const std::string& what, std::function<QWidget*()> find, std::function<void(QWidget*)> then);

// A sheet script whose Sub main runs these lines.
std::string mainSub(std::initializer_list<std::string> lines);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up over the program folder, as the program does.
    void start();
    FormMain& mainWindow() { return shell->mainWindow(); }

    // The program folder, ending in "/", and paths inside it.
    Text home() const { return (dir_->path() + u'/').toStdU16String(); }
    Text path(const std::string& name) const { return home() + fromUtf8(name); }
    void writeFile(const std::string& name, const std::string& content) const;
    std::string readFile(const std::string& name) const;
    bool fileExists(const std::string& name) const { return QFile::exists(QString::fromStdU16String(path(name))); }

    // Triggers a menu entry of the main window by its name.
    void trigger(const char* actionName);
    // Load Character, with characters/<name> chosen in its dialog.
    void load(const std::string& name)
    {
        dialogs.openAnswers.push_back(path("characters/" + name));
        trigger("MenuFileLoad");
    }
    // Writes the sheet script `name` and makes it the one in use.
    void useSheet(const std::string& name, const std::string& script)
    {
        writeFile(name, script);
        shell->state.TesseraFile = path(name);
    }
    // Calls `then` with the top-level window of that name once it is shown
    // (a modal window, typically, which the test then closes): whenFound.
    void whenShown(const char* objectName, std::function<void(QWidget*)> then);
    bool sawWindow(const char* objectName) const;
    // Print Preview; `use` works the shown window, which is closed afterwards.
    void withPreview(const std::function<void(FormReport&)>& use);

    Text characterName() const { return shell->state.currentCharacter().Name; }
    Text caption() { return mainWindow().windowTitle().toStdU16String(); }
    QString statusLine() { return label(mainWindow(), "pnlStatusBar")->text(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Shell> shell;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray savedCurrentDir_;
};

// A ShellTest whose program has started before the test runs.
class StartedShellTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
};

} // namespace quillet::testing
