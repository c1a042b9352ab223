// Every dialog and message box of the program goes through this one
// service: the desktop fills it with Qt's dialogs, tests with scripted
// answers, so that every command - cancel paths and failures included -
// runs without a person at the screen.
#pragma once

#include "common/text.h"
#include "settings/message_box.h"

#include <QSize>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace quillet {

// The title of message boxes that name none of their own.
inline constexpr TextView kAppTitle = u"KVR Character Printer";

// A file-open dialog as the commands describe it; the filter is a list of
// "description|patterns" pairs divided by "|", patterns divided by ";".
struct OpenFileRequest {
    Text title;
    Text initialFileName;
    Text initialFolder;
    Text filter;
    int filterIndex = 1; // 1-based
};

// A file-save dialog: it proposes `initialPath` and asks before replacing
// a file; `filter` as for OpenFileRequest.
struct SaveFileRequest {
    Text title;
    Text initialPath;
    Text filter;
};

// Pages chosen in a print dialog, 1-based and inclusive; 0 means from the
// first or to the last.
struct PageRange {
    int from = 0;
    int to = 0;
};

class DialogService {
public:
    virtual ~DialogService() = default;

    // The size, in pixels, file dialogs open at (empty: the service's
    // own), and after each the size the user left it at.  Start-up sets
    // it from the settings; closing the program stores it there.
    QSize fileDialogSize;

    // The chosen file's full path; nullopt when the user cancelled.
    virtual std::optional<Text> openFile(QWidget* parent, const OpenFileRequest& request) = 0;
    // The chosen file's full path; nullopt when the user cancelled.
    virtual std::optional<Text> saveFile(QWidget* parent, const SaveFileRequest& request) = 0;
    // The printer dialog; true when the user confirmed a choice, which is
    // then applied to `printer`.
    virtual bool printSetup(QWidget* parent, QPrinter& printer) = 0;
    // The print dialog of a document of `pageCount` pages, `currentPage`
    // in view: the printer chosen is applied to `printer`, and the pages
    // to print are returned; nullopt when the user cancelled.
    virtual std::optional<PageRange> printDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                 int currentPage) = 0;
    // A message with an OK button only.
    virtual void messageBox(QWidget* parent, const MessageBoxRequest& request) = 0;
    // A sheet script's MsgBox: `buttons` holds its button and icon codes;
    // returns the code of the button pressed (vbOK = 1 ... vbNo = 7).
    virtual int scriptMessageBox(QWidget* parent, const Text& prompt, int buttons, const Text& title) = 0;
    // A sheet script's InputBox; nullopt when cancelled.
    virtual std::optional<Text> inputBox(QWidget* parent, const Text& prompt, const Text& title,
                                         const Text& defaultText) = 0;
};

// A file filter in the dialog's "description|patterns|..." form as Qt's
// file dialogs take it: one entry per pair, patterns divided by blanks,
// each pattern also in lower and upper case (file names on Linux keep
// their case), and "*.*" as "*" so that names without a dot show too.
QStringList qtFileFilters(const Text& filter);

} // namespace quillet
