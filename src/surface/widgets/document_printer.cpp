#include "surface/widgets/document_printer.h"

#include "surface/page_painter.h"
#include "surface/pdf_export.h"
#include "surface/surface.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <algorithm>
#include <memory>

namespace quillet::surface {

DocumentPrinter::DocumentPrinter(QWidget* progressParent) : parent_(progressParent) {}

QString DocumentPrinter::progressText(int page, const QString& printerName, const QString& port) const
{
    QString pageLine = texts_.pageLine;
    pageLine.replace(QStringLiteral("%d"), QString::number(page));
    QString deviceLine = texts_.deviceLine;
    const qsizetype first = deviceLine.indexOf(QStringLiteral("%s"));
    if (first >= 0)
        deviceLine.replace(first, 2, printerName);
    const qsizetype second = deviceLine.indexOf(QStringLiteral("%s"), first >= 0 ? first + printerName.size() : 0);
    if (second >= 0)
        deviceLine.replace(second, 2, port);
    return pageLine + QLatin1Char('\n') + documentName_ + QLatin1Char('\n') + deviceLine;
}

PrintResult DocumentPrinter::print(const Document& document, QPrinter& printer, int fromPage, int toPage)
{
    cancelled_ = false;
    pagesPrinted_ = 0;
    error_.clear();
    const int count = static_cast<int>(document.pages.size());
    const int first = std::max(fromPage, 1);
    const int last = toPage <= 0 ? count : std::min(toPage, count);
    if (first > last) {
        error_ = QStringLiteral("There are no pages to print.");
        return PrintResult::Failed;
    }

    printer.setFullPage(true);  // draw from the paper's corner, not the printable area's
    printer.setDocName(documentName_);
    printer.setPageLayout(pageLayoutFor(document.pages[static_cast<size_t>(first - 1)]));

    std::unique_ptr<QProgressDialog> progress;
    if (showProgress_) {
        progress = std::make_unique<QProgressDialog>(QString(), texts_.cancelButton, 0, last - first + 1, parent_);
        progress->setWindowTitle(texts_.caption);
        // Nothing else may start while the pages go out.
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        connect(progress.get(), &QProgressDialog::canceled, this, &DocumentPrinter::cancel);
    }

    const QString device = printerDescription(printer);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const QString subject = toFile ? QStringLiteral("The PDF writer") : QStringLiteral("The printer ") + device;
    QPainter painter;
    if (!painter.begin(&printer)) {
        error_ = toFile ? QStringLiteral("The file %1 cannot be written.").arg(printer.outputFileName())
                        : subject + QStringLiteral(" cannot be opened.");
        return PrintResult::Failed;
    }
    const QString port = printerPort(printer);
    for (int number = first; number <= last; ++number) {
        const Page& page = document.pages[static_cast<size_t>(number - 1)];
        if (progress) {
            progress->setLabelText(progressText(number, device, port));
            progress->setValue(number - first);
        }
        QCoreApplication::processEvents();
        if (cancelled_) {
            printer.abort();
            painter.end();
            return PrintResult::Cancelled;
        }
        if (number > first) {
            printer.setPageLayout(pageLayoutFor(page));
            if (!printer.newPage()) {
                error_ = subject + QStringLiteral(" refused a new page.");
                painter.end();
                return PrintResult::Failed;
            }
        }
        painter.setWorldTransform(twipTransform(printer.logicalDpiY()));
        paintPage(painter, page);
        ++pagesPrinted_;
        emit pagePrinted(number, last);
    }
    if (progress)
        progress->setValue(last - first + 1);
    if (!painter.end()) {
        error_ = subject + QStringLiteral(" did not finish the document.");
        return PrintResult::Failed;
    }
    return PrintResult::Printed;
}

QString printerDescription(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty())
        return QStringLiteral("PDF writer");
    return printer.printerName();
}

QString printerPort(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    const QString location = QPrinterInfo::printerInfo(printer.printerName()).location();
    return location.isEmpty() ? QStringLiteral("the print system") : location;
}

QSizeF defaultPaperTwips()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    const QPageSize size = info.isNull() ? QPageSize() : info.defaultPageSize();
    if (!size.isValid())
        return QSizeF(kLetterWidth, kLetterHeight);
    const QSizeF points = size.size(QPageSize::Point);
    return QSizeF(points.width() * 20, points.height() * 20);
}

} // namespace quillet::surface
