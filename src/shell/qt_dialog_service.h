// The dialog service of the running program: Qt's file, printer, message
// and input dialogs.
#pragma once

#include "shell/dialog_service.h"

class QFileDialog;

namespace quillet {

class QtDialogService : public DialogService {
public:
    std::optional<Text> openFile(QWidget* parent, const OpenFileRequest& request) override;
    std::optional<Text> saveFile(QWidget* parent, const SaveFileRequest& request) override;
    bool printSetup(QWidget* parent, QPrinter& printer) override;
    std::optional<PageRange> printDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                         int currentPage) override;
    void messageBox(QWidget* parent, const MessageBoxRequest& request) override;
    int scriptMessageBox(QWidget* parent, const Text& prompt, int buttons, const Text& title) override;
    std::optional<Text> inputBox(QWidget* parent, const Text& prompt, const Text& title,
                                 const Text& defaultText) override;

private:
    // Shows the dialog at fileDialogSize and keeps the size it was left
    // at; the chosen file, or nothing.
    std::optional<Text> runFileDialog(QFileDialog& dialog);
};

// The button codes of a script's MsgBox: what the script's `buttons`
// argument offers, and which code each Qt button answers.
struct ScriptButtons {
    int standardButtons = 0; // QMessageBox::StandardButtons
    int icon = 0;            // QMessageBox::Icon
    int defaultButton = 0;   // QMessageBox::StandardButton
};
ScriptButtons scriptButtons(int buttons);
int scriptButtonCode(int standardButton);

} // namespace quillet
