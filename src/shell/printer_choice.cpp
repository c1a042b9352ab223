#include "shell/printer_choice.h"

#include "surface/widgets/document_printer.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace quillet {

namespace {

bool writesFile(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat;
}

Text pagesText(int pages)
{
    return decimalText(pages) + (pages == 1 ? u" page" : u" pages");
}

Text nameOf(const QPrinter& printer)
{
    return surface::printerDescription(printer).toStdU16String();
}

Text fileOf(const QPrinter& printer)
{
    return printer.outputFileName().toStdU16String();
}

} // namespace

std::optional<Text> printerUnavailable(const QPrinter& printer)
{
    const Text none = u"There is no printer to print the sheet on. Choose a printer in File > Print Setup..., "
                      u"or printing to a PDF file, which is always offered there.";
    if (writesFile(printer))
        return printer.outputFileName().isEmpty() ? std::optional<Text>(none) : std::nullopt;
    if (printer.printerName().isEmpty())
        return none;
    if (QPrinterInfo::printerInfo(printer.printerName()).isNull())
        return u"The printer " + nameOf(printer) + u" is not available any more. Choose another in "
                                                    u"File > Print Setup..., or printing to a PDF file.";
    return std::nullopt;
}

std::unique_ptr<QPrinter> printerLike(const QPrinter& printer)
{
    auto copy = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (writesFile(printer)) {
        copy->setOutputFormat(QPrinter::PdfFormat);
        copy->setOutputFileName(printer.outputFileName());
    } else {
        copy->setOutputFormat(QPrinter::NativeFormat);
        copy->setPrinterName(printer.printerName());
    }
    copy->setPageLayout(printer.pageLayout());
    copy->setCopyCount(printer.copyCount());
    copy->setCollateCopies(printer.collateCopies());
    copy->setColorMode(printer.colorMode());
    copy->setDuplex(printer.duplex());
    copy->setPageOrder(printer.pageOrder());
    copy->setDocName(printer.docName());
    return copy;
}

Text printerChoiceText(const QPrinter& printer)
{
    if (writesFile(printer))
        return u"Sheets are written to " + fileOf(printer) + u".";
    return u"Sheets print on " + nameOf(printer) + u".";
}

Text printedText(int pages, const QPrinter& printer)
{
    if (writesFile(printer))
        return pagesWrittenText(pages, fileOf(printer));
    return pagesText(pages) + u" printed on " + nameOf(printer) + u".";
}

Text pagesWrittenText(int pages, const Text& file)
{
    return pagesText(pages) + u" written to " + file + u".";
}

} // namespace quillet
