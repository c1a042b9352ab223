#include "shell/qt_dialog_service.h"

#include "shell/window_placement.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace quillet {

namespace {

QString titleOr(const Text& title)
{
    return QString::fromStdU16String(title.empty() ? Text(kAppTitle) : title);
}

// Room for the folder list, the file names and their details side by side,
// within most of the screen.
QSize usefulFileDialogSize()
{
    QSize size(960, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.9);
    return size;
}

// The size, type and date columns as wide as their texts, the names
// taking the rest, so that nothing is cut off while room is left over.
void fitFileColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

} // namespace

std::optional<Text> QtDialogService::openFile(QWidget* parent, const OpenFileRequest& request)
{
    QFileDialog dialog(parent, QString::fromStdU16String(request.title),
                       QString::fromStdU16String(request.initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, true);
    const QStringList filters = qtFileFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.initialFileName.empty())
        dialog.selectFile(QFileInfo(QString::fromStdU16String(request.initialFileName)).fileName());
    return runFileDialog(dialog);
}

std::optional<Text> QtDialogService::saveFile(QWidget* parent, const SaveFileRequest& request)
{
    const QFileInfo initial(QString::fromStdU16String(request.initialPath));
    QFileDialog dialog(parent, QString::fromStdU16String(request.title), initial.absolutePath());
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(qtFileFilters(request.filter));
    dialog.setDefaultSuffix(initial.suffix());
    dialog.selectFile(initial.fileName());
    return runFileDialog(dialog);
}

std::optional<Text> QtDialogService::runFileDialog(QFileDialog& dialog)
{
    // Qt's own dialog, so that it opens at the size given and reports the
    // size it was left at, whatever the desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setViewMode(QFileDialog::Detail);
    fitFileColumns(dialog);
    const QSize size = fileDialogSize.isEmpty() ? usefulFileDialogSize() : fileDialogSize;
    dialog.resize(fittedToScreens(QRect(QPoint(0, 0), size)).size());
    const int result = dialog.exec();
    fileDialogSize = dialog.size();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdU16String();
}

bool QtDialogService::printSetup(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    // Setting up chooses the printer and its paper; what to print is
    // decided when printing.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // It only stores the choice: its button says so.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                button->setText(QStringLiteral("OK"));
        }
    }
    return dialog.exec() == QDialog::Accepted;
}

std::optional<PageRange> QtDialogService::printDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                      int currentPage)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialog.setMinMax(1, std::max(pageCount, 1));
    dialog.setFromTo(1, std::max(pageCount, 1));
    printer.setPrintRange(QPrinter::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    switch (printer.printRange()) {
    case QPrinter::PageRange: return PageRange{printer.fromPage(), printer.toPage()};
    case QPrinter::CurrentPage: return PageRange{currentPage, currentPage};
    default: return PageRange{};
    }
}

void QtDialogService::messageBox(QWidget* parent, const MessageBoxRequest& request)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(titleOr(request.title));
    box.setText(QString::fromStdU16String(request.text));
    switch (request.icon) {
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::None: break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

ScriptButtons scriptButtons(int buttons)
{
    // The buttons in the order the script counts them for its default.
    std::vector<QMessageBox::StandardButton> order;
    switch (buttons & 7) {
    case 1: order = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case 2: order = {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}; break;
    case 3: order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case 4: order = {QMessageBox::Yes, QMessageBox::No}; break;
    case 5: order = {QMessageBox::Retry, QMessageBox::Cancel}; break;
    default: order = {QMessageBox::Ok}; break;
    }
    ScriptButtons out;
    for (const auto button : order)
        out.standardButtons |= button;
    switch (buttons & 0x70) {
    case 16: out.icon = QMessageBox::Critical; break;
    case 32: out.icon = QMessageBox::Question; break;
    case 48: out.icon = QMessageBox::Warning; break;
    case 64: out.icon = QMessageBox::Information; break;
    default: out.icon = QMessageBox::NoIcon; break;
    }
    // 0, 256, 512, 768: the first to fourth button is the default.
    const size_t wanted = static_cast<size_t>((buttons >> 8) & 3);
    out.defaultButton = order[std::min(wanted, order.size() - 1)];
    return out;
}

int scriptButtonCode(int standardButton)
{
    switch (standardButton) {
    case QMessageBox::Ok: return 1;
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return 2; // closed by the window frame: as Cancel
    }
}

int QtDialogService::scriptMessageBox(QWidget* parent, const Text& prompt, int buttons, const Text& title)
{
    const ScriptButtons chosen = scriptButtons(buttons);
    QMessageBox box(parent);
    box.setWindowTitle(titleOr(title));
    box.setText(QString::fromStdU16String(prompt));
    box.setIcon(static_cast<QMessageBox::Icon>(chosen.icon));
    box.setStandardButtons(static_cast<QMessageBox::StandardButtons>(chosen.standardButtons));
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(chosen.defaultButton));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return scriptButtonCode(clicked ? box.standardButton(clicked) : QMessageBox::Cancel);
}

std::optional<Text> QtDialogService::inputBox(QWidget* parent, const Text& prompt, const Text& title,
                                              const Text& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, titleOr(title), QString::fromStdU16String(prompt),
                                                 QLineEdit::Normal, QString::fromStdU16String(defaultText), &ok);
    if (!ok)
        return std::nullopt;
    return answer.toStdU16String();
}

} // namespace quillet
