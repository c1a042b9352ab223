#include "shell/form_report.h"

#include "common/file_system.h"
#include "shell/dialog_service.h"
#include "shell/live_error_bar.h"
#include "shell/live_refresh.h"
#include "shell/preview_controls.h"
#include "shell/printer_choice.h"
#include "shell/shell.h"
#include "state/document_title.h"
#include "surface/pdf_export.h"
#include "surface/widgets/document_printer.h"
#include "surface/widgets/preview_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QAction>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>

#include <algorithm>

namespace quillet {

FormReport::FormReport(Shell& shell) : shell_(shell), adapter_(surface_)
{
    setObjectName(QStringLiteral("formReport"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromStdU16String(Text(kReportCaptionBeforeRun)));
    setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));

    surface_.setFontName(u"Arial");
    surface_.setHeaderFontName(u"Arial");

    preview_ = new surface::PreviewWidget(this);
    preview_->setObjectName(QStringLiteral("VSPrinter1"));
    preview_->setZoomMenuText(QStringLiteral("Whole &Page|Page &Width|&Two Pages|Thumb&nail"));
    surface::PrintTexts texts;
    texts.caption = QStringLiteral("Printing...");
    texts.cancelButton = QStringLiteral("Cancel");
    texts.deviceLine = QStringLiteral("on the %s on %s");
    texts.pageLine = QStringLiteral("Now printing Page %d of");
    preview_->setPrintTexts(texts);

    controls_ = new PreviewControls(*preview_, this);
    connect(controls_, &PreviewControls::printRequested, this, &FormReport::printFromPreview);
    connect(controls_, &PreviewControls::savePdfRequested, this, &FormReport::savePdf);
    connect(controls_, &PreviewControls::closeRequested, this, &QWidget::close);

    errorBar_ = new LiveErrorBar(this);
    connect(errorBar_, &LiveErrorBar::changed, this, &FormReport::FitPreviewSurface);
    liveRefresh_ = new LiveRefresh(shell_, *this, *errorBar_);
    connect(liveRefresh_, &LiveRefresh::refreshed, this, [this] {
        if (std::exchange(closeOwed_, false))
            close();
    });
    QAction* live = controls_->action(QStringLiteral("actLiveRefresh"));
    live->setChecked(shell_.state.LiveRefresh != kFalse);
    liveRefresh_->setEnabled(live->isChecked());
    connect(controls_, &PreviewControls::liveRefreshToggled, this, &FormReport::setLiveRefresh);

    // A page at a readable size: most of the screen's height.
    QSize size(760, 900);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size() * 0.9);
    }
    resize(size);
    FitPreviewSurface();
}

void FormReport::FitPreviewSurface()
{
    QToolBar* toolBar = controls_->toolBar();
    QStatusBar* statusBar = controls_->statusBar();
    const int top = std::min(toolBar->sizeHint().height(), height());
    const int bottom = std::min(statusBar->sizeHint().height(), height() - top);
    const int bar = std::min(errorBar_->heightAt(width()), height() - top - bottom);
    toolBar->setGeometry(0, 0, width(), top);
    errorBar_->setGeometry(0, top, width(), bar);
    statusBar->setGeometry(0, height() - bottom, width(), bottom);
    preview_->setGeometry(0, top + bar, width(), height() - top - bar - bottom);
}

void FormReport::showRefreshedPages(surface::Document pages)
{
    preview_->replaceDocument(std::move(pages));
    controls_->refresh();
    controls_->statusBar()->showMessage(
        QStringLiteral("Pages refreshed at %1").arg(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat)));
}

void FormReport::setLiveRefresh(bool on)
{
    // Kept with the options, so the next preview starts the same way.
    shell_.state.LiveRefresh = on ? kTrue : kFalse;
    liveRefresh_->setEnabled(on);
}

void FormReport::showPreviewWindow()
{
    setWindowTitle(QString::fromStdU16String(u"KVR Character Printer " + VersionText() + u" Print Preview"));
    preview_->setDocument(surface_.takeDocument());
    controls_->refresh();
    FitPreviewSurface();
}

void FormReport::showModal()
{
    setWindowModality(Qt::ApplicationModal);
    liveRefresh_->start();
    exec();
}

void FormReport::printDocument()
{
    printPages(0, 0);
}

surface::PrintResult FormReport::printPages(int fromPage, int toPage)
{
    QPrinter& printer = shell_.printer();
    if (const std::optional<Text> problem = printerUnavailable(printer)) {
        shell_.showMessage(*problem);
        return surface::PrintResult::Failed;
    }
    surface::DocumentPrinter documentPrinter(isVisible() ? this : shell_.dialogParent());
    documentPrinter.setTexts(preview_->printTexts());
    documentPrinter.setDocumentName(QString::fromStdU16String(sheetDocumentTitle(shell_.state)));
    // The pages shown, which a refresh may have replaced since the first run.
    const surface::PrintResult result = documentPrinter.print(preview_->document(), printer, fromPage, toPage);
    switch (result) {
    case surface::PrintResult::Printed:
        reportStatus(printedText(documentPrinter.pagesPrinted(), printer));
        break;
    case surface::PrintResult::Cancelled:
        reportStatus(u"Printing was cancelled after " + printedText(documentPrinter.pagesPrinted(), printer));
        break;
    case surface::PrintResult::Failed:
        shell_.showMessage(u"The sheet could not be printed: " + documentPrinter.errorMessage().toStdU16String());
        break;
    }
    shell_.renewPrinterIfStuck();
    return result;
}

void FormReport::printFromPreview()
{
    if (preview_->pageCount() == 0)
        return;
    shell_.renewPrinterIfStuck();
    QPrinter& printer = shell_.printer();
    // A PDF file the dialog proposes is named after the document.
    printer.setDocName(QString::fromStdU16String(sheetDocumentTitle(shell_.state)));
    const std::optional<PageRange> pages =
        shell_.dialogs.printDialog(this, printer, preview_->pageCount(), preview_->currentPage());
    if (pages)
        printPages(pages->from, pages->to);
}

Text FormReport::proposedPdfPath() const
{
    const AppState& state = shell_.state;
    Text name;
    if (!state.CurrentCharFile.empty()) {
        name = fileNameOf(withExtension(state.CurrentCharFile, u".pdf"));
    } else {
        // No file yet: the name the sheet goes by, made fit for a file name.
        name = sheetDocumentTitle(state);
        std::replace(name.begin(), name.end(), u'/', u'-');
        name = withExtension(name.empty() ? Text(u"sheet") : name, u".pdf");
    }
    Text folder = state.CurrentCharFile.empty() ? state.CharDir : folderOf(state.CurrentCharFile);
    if (folder.empty())
        folder = state.HomePath;
    // An installed sample sits where the user cannot write.
    if (!QFileInfo(QString::fromStdU16String(folder)).isWritable())
        folder = QDir::homePath().toStdU16String() + u"/";
    return folder + name;
}

void FormReport::savePdf()
{
    if (preview_->pageCount() == 0)
        return;
    SaveFileRequest request;
    request.title = u"Save as PDF";
    request.initialPath = proposedPdfPath();
    request.filter = u"PDF Files (*.pdf)|*.pdf";
    const std::optional<Text> chosen = shell_.dialogs.saveFile(this, request);
    if (!chosen)
        return;
    QString error;
    if (!surface::writePdf(preview_->document(), QString::fromStdU16String(*chosen), &error,
                           QString::fromStdU16String(sheetDocumentTitle(shell_.state)))) {
        shell_.showMessage(u"The sheet could not be saved: " + error.toStdU16String());
        return;
    }
    reportStatus(pagesWrittenText(preview_->pageCount(), *chosen));
}

void FormReport::reportStatus(const Text& text)
{
    shell_.setStatusText(text);
    // Seen at once when the preview is in front, until the page changes.
    controls_->statusBar()->showMessage(QString::fromStdU16String(text));
}

void FormReport::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    FitPreviewSurface();
    // Let the surface repaint at its new size straight away.  A resize that
    // arrives while those events run is fitted without going round again.
    if (processingResize_)
        return;
    processingResize_ = true;
    const QPointer<FormReport> alive(this);
    shell_.doEvents();
    if (alive) // the events may have closed the window
        processingResize_ = false;
}

void FormReport::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Restored: a size set while minimised was not followed.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        FitPreviewSurface();
}

void FormReport::closeEvent(QCloseEvent* event)
{
    // A refresh is drawing on a surface of its own on another thread: the
    // window goes once it has ended, which is asked to be soon.
    if (liveRefresh_->isRunning()) {
        closeOwed_ = true;
        shell_.engine.requestStop();
        event->ignore();
        return;
    }
    // Not QDialog's: its close calls reject(), which closes again here.
    event->accept();
    shell_.windowUnloaded(this);
}

} // namespace quillet
