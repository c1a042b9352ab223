#include "shell/form_report.h"

#include "shell/dialog_service.h"
#include "shell/printer_choice.h"
#include "shell/shell.h"
#include "state/document_title.h"
#include "surface/widgets/document_printer.h"
#include "surface/widgets/preview_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QPointer>
#include <QScreen>

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
    preview_->setGeometry(0, 0, width(), height());
}

void FormReport::showPreviewWindow()
{
    setWindowTitle(QString::fromStdU16String(u"KVR Character Printer " + VersionText() + u" Print Preview"));
    preview_->setDocument(surface_.document());
    FitPreviewSurface();
}

void FormReport::showModal()
{
    setWindowModality(Qt::ApplicationModal);
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
    const surface::PrintResult result = documentPrinter.print(surface_.document(), printer, fromPage, toPage);
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

void FormReport::reportStatus(const Text& text)
{
    shell_.setStatusText(text);
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
    // Not QDialog's: its close calls reject(), which closes again here.
    event->accept();
    shell_.windowUnloaded(this);
}

} // namespace quillet
