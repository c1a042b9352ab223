// A running program per test: a fresh program folder (a temporary copy of
// the bundled sheet and the sample characters), the scripted dialog
// service, and helpers to drive the real windows headless.
#pragma once

#include "scripted_dialogs.h"
#include "shell/form_main.h"
#include "shell/shell.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace quillet::testing {

void ensureQtApplication();

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up over the program folder, as the program does.
    void start();
    FormMain& mainWindow() { return shell->mainWindow(); }

    // The program folder, ending in "/", and paths inside it.
    Text home() const;
    Text path(const std::string& name) const;
    void writeFile(const std::string& name, const std::string& content) const;
    std::string readFile(const std::string& name) const;
    bool fileExists(const std::string& name) const;

    // Triggers a menu entry of the main window by its name.
    void trigger(const char* actionName);
    // Calls `then` with the top-level window of that name once it is shown
    // (a modal window, typically, which the test then closes).  A window
    // that never appears fails the test and ends whatever modal loop runs.
    void whenShown(const char* objectName, std::function<void(QWidget*)> then);
    bool sawWindow(const char* objectName) const;

    ScriptedDialogs dialogs;
    std::unique_ptr<Shell> shell;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray savedCurrentDir_;
};

// A visible top-level window with that object name, or null.
QWidget* shownWindow(const char* objectName);

} // namespace quillet::testing
