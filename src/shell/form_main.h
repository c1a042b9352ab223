// The main window formMain: the File and Help menus with the recent-file
// entries, the four tool buttons, the logo, Show Picture and Browse, the
// current sheet script, and the status line.  Its commands are in
// main_commands.cpp.
#pragma once

#include "common/text.h"
#include "shell/handed_files.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace quillet {

class Shell;
class VbError;

class FormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FormMain(Shell& shell);

    // Shows MRUFiles in the File menu: an entry for each filled position,
    // created the first time its position is filled.
    void BuildMRUMenu();
    // Puts the path at the top of the recent files and rebuilds the menu
    // (unless it was already at the top).
    void AddToMRU(const Text& path);

    // Where the settings put the window (MainLeft..MainMaximized), fitted
    // to the screens; nothing when they hold no size.  And back.
    void placeFromSettings();
    void rememberPlacement();

    void setStatusText(const Text& text);
    // The caption naming no character file, as at start-up.
    void showCaptionWithoutFile();
    void showTesseraFile();
    void showLogo(bool shown);

    // The commands, each as its menu entry or button runs it.
    void clearCharacterCommand();
    void LoadCharacterCommand();
    void ChooseSheetScript();
    void printCommand(bool toPrinter);
    void PrinterSetupCommand();
    void preferencesCommand();
    void logWindowCommand();
    void showPictureCommand();
    void aboutCommand();
    void recentFileCommand(int index);
    // Files from the command line or a drop: the sheet script becomes the
    // current one as Browse makes it, then the character is loaded as Load
    // Character loads it (not while Busy), each with the failure handling
    // of those commands.  A file that is not there is reported.
    void openHandedFiles(const HandedFiles& files);

    QAction* action(const char* objectName) const;
    // The recent-file entries that exist, in menu order.  Entry i shows
    // position i + 1; entries of positions never filled do not exist.
    std::vector<QAction*> recentFileEntries() const;
    QAction* recentFileEntry(int index) const { return mruEntries_.at(size_t(index)); }
    QToolButton* toolButton(int index) const { return toolButtons_.at(size_t(index)); }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildContent();
    QAction* addMenuAction(QMenu* menu, const char* objectName, const QString& caption);
    QAction* makeRecentFileEntry(int index);
    // The dialog's initial folder: the stored folder less its last
    // character; the program folder for an empty one.
    Text initialFolder(const Text& folder) const;
    // Runs a file-choosing command: the open dialog starts at `fileName`
    // in `folder`; a failure other than cancelling shows its description
    // and the program goes on.
    void runFileCommand(const Text& title, const Text& fileName, const Text& folder, const Text& filter,
                        void (FormMain::*chosen)(const Text&));
    // Runs one step of a file-choosing command; false when it failed and
    // the command must not go on.
    bool fileCommandStep(const std::function<void()>& step);
    // Opens one handed file as the dialog's choice; false when a failure
    // ended the command.
    bool openHandedFile(const Text& path, void (FormMain::*chosen)(const Text&));
    // What a drop offers, when the main window takes it.
    std::optional<HandedFiles> acceptableDrop(const QDropEvent& event) const;
    void characterChosen(const Text& path);
    // Reading `path` failed: an empty character, and the user is told
    // where and why.
    void characterFailed(const Text& path, const VbError& error);
    void sheetScriptChosen(const Text& path);
    void returnToHomeFolder();
    bool busy() const;

    Shell& shell_;
    QMenu* fileMenu_ = nullptr;
    QAction* mruSpacer_ = nullptr;
    // Entry 0 always exists; the others are made when their position is
    // first filled, so an empty position between filled ones has none.
    std::array<QAction*, 4> mruEntries_{};
    std::vector<QToolButton*> toolButtons_;
    QLabel* status_ = nullptr;
    // The status line while a menu entry's tip covers it.
    QString statusBeforeTip_;
    bool showingTip_ = false;
    QLabel* tesseraFile_ = nullptr;
    QLabel* logo_ = nullptr;
};

// About how many characters of a recent file's path its menu entry shows.
inline constexpr int kMRUCaptionChars = 60;

// The notice line shown in the status line at start-up and in the About box.
inline constexpr TextView kNoticeLine = u"Prints character sheets from KVR character files.";

} // namespace quillet
