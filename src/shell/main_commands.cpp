// The commands of the main window, step by step.
#include "common/file_system.h"
#include "common/vb_error.h"
#include "shell/dialog_service.h"
#include "shell/form_main.h"
#include "shell/frm_log.h"
#include "shell/frm_portrait.h"
#include "shell/frm_prefs.h"
#include "shell/mru_list.h"
#include "shell/printer_choice.h"
#include "shell/shell.h"
#include "state/document_title.h"
#include "state/read_character_file.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QString>

namespace quillet {

namespace {

const Text kCharacterFilter = u"Character Files (*.KVR;*.CHR)|*.KVR;*.CHR|All Files (*.*)|*.*";
const Text kTesseraFilter = u"Tessera Files (*.TSX)|*.TSX";
const Text kEngineLine = u"Sheet scripts run on the Quillet VBScript engine.";

// Blanks only: a tab or line break belongs to the file name.
Text trimmed(const Text& text)
{
    return trimSpaces(text);
}

} // namespace

bool FormMain::busy() const
{
    return shell_.state.Busy != kFalse;
}

void FormMain::clearCharacterCommand()
{
    shell_.state.ClearCharacter();
    shell_.state.CurrentCharFile.clear();
    showCaptionWithoutFile();
}

void FormMain::characterFailed(const Text& path, const VbError& error)
{
    // Half a character is worse than none: the user starts again from an
    // empty one, as after File > New, and keeps everything else.
    clearCharacterCommand();
    shell_.showMessage(ReadFailureMessage(path, error));
}

Text FormMain::initialFolder(const Text& folder) const
{
    // A folder emptied in the settings file opens the dialog at home
    // rather than failing the command.
    if (folder.empty())
        return shell_.state.HomePath;
    return folder.substr(0, folder.size() - 1);
}

void FormMain::runFileCommand(const Text& title, const Text& fileName, const Text& folder, const Text& filter,
                              void (FormMain::*chosen)(const Text&))
{
    fileCommandStep([&] {
        OpenFileRequest request;
        request.title = title;
        request.initialFileName = fileName;
        request.initialFolder = initialFolder(folder);
        request.filter = filter;
        request.filterIndex = 1;
        if (const std::optional<Text> file = shell_.dialogs.openFile(this, request))
            (this->*chosen)(trimmed(*file));
    });
    returnToHomeFolder();
}

bool FormMain::fileCommandStep(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const VbError& e) {
        // Whatever failed, the program goes on with what it had.
        shell_.showMessage(e.description());
        return false;
    }
}

void FormMain::openHandedFiles(const HandedFiles& files)
{
    if (!files.sheet.empty() && !openHandedFile(files.sheet, &FormMain::sheetScriptChosen))
        return;
    if (!files.character.empty() && !busy())
        openHandedFile(files.character, &FormMain::characterChosen);
}

bool FormMain::openHandedFile(const Text& path, void (FormMain::*chosen)(const Text&))
{
    // What the file dialog would have refused: a name that is no file.
    if (!QFileInfo(QString::fromStdU16String(path)).isFile()) {
        shell_.showMessage(u"File: " + path + u" could not be found.");
        return true;
    }
    return fileCommandStep([&] { (this->*chosen)(path); });
}

void FormMain::LoadCharacterCommand()
{
    runFileCommand(u"Load Character", shell_.state.CurrentCharFile, shell_.state.CharDir, kCharacterFilter,
                   &FormMain::characterChosen);
}

void FormMain::characterChosen(const Text& path)
{
    try {
        ReadCharacterFile(shell_.state, shell_, path);
    } catch (const VbError& e) {
        characterFailed(path, e);
        return;
    }
    AddToMRU(path);
    shell_.state.CharDir = trimmed(folderOf(path));
    QApplication::processEvents();
}

void FormMain::ChooseSheetScript()
{
    runFileCommand(u"Load Tessera Files", shell_.state.TesseraFile, shell_.state.TesseraDir, kTesseraFilter,
                   &FormMain::sheetScriptChosen);
}

void FormMain::sheetScriptChosen(const Text& path)
{
    shell_.state.TesseraFile = path;
    shell_.state.TesseraDir = trimmed(folderOf(path));
    showTesseraFile();
}

void FormMain::returnToHomeFolder()
{
    // The file dialog may have moved the current directory.
    Text home = shell_.state.HomePath;
    if (home.size() > 1 && home.back() == u'/')
        home.pop_back();
    QDir::setCurrent(QString::fromStdU16String(home));
}

void FormMain::printCommand(bool toPrinter)
{
    shell_.runSheet(toPrinter);
}

void FormMain::PrinterSetupCommand()
{
    shell_.renewPrinterIfStuck();
    QPrinter& printer = shell_.printer();
    // The dialog proposes a PDF file named after the document.
    printer.setDocName(QString::fromStdU16String(sheetDocumentTitle(shell_.state)));
    if (shell_.dialogs.printSetup(this, printer))
        setStatusText(printerChoiceText(printer));
}

void FormMain::preferencesCommand()
{
    FrmPrefs& dialog = shell_.prefsDialog();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void FormMain::logWindowCommand()
{
    if (!shell_.logging.showWindow())
        return;
    if (QWidget* window = shell_.logWindowIfLoaded()) {
        window->raise();
        window->activateWindow();
    }
}

void FormMain::showPictureCommand()
{
    FrmPortrait& window = shell_.portraitWindow();
    window.setPortrait(shell_.state.currentCharacter().Portrait);
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
    // The window's Portrait outlives it: Clear emptied it, Load replaced
    // it, and a path that no longer named a file was emptied on opening.
    shell_.state.currentCharacter().Portrait = shell_.portraitPath;
}

void FormMain::aboutCommand()
{
    const Text& crlf = shell_.state.CRLF;
    shell_.showMessage(u"KVR Character Printer " + VersionText() + crlf + Text(kNoticeLine) + crlf + crlf +
                       kEngineLine);
}

void FormMain::recentFileCommand(int index)
{
    if (busy() || index < 0 || index >= kMRUCount)
        return;
    const Text path = shell_.state.MRUFiles[size_t(index + 1)];
    if (!FileExists(path)) {
        shell_.showMessage(u"File: " + path + u" could not be found.");
        return;
    }
    try {
        ReadCharacterFile(shell_.state, shell_, path);
    } catch (const VbError& e) {
        // The entry stays: the file may be mended and tried again.
        characterFailed(path, e);
        return;
    }
    AddToMRU(path);
    QApplication::processEvents();
}

} // namespace quillet
