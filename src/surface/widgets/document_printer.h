// Sends a finished document to a printer: one printer page per page, each
// at its own paper size and orientation, drawn from the paper's corner.  A
// progress box names the page being printed and offers to cancel.
#pragma once

#include "surface/document.h"

#include <QObject>
#include <QString>

class QPrinter;
class QWidget;

namespace quillet::surface {

// The progress box's texts; %d is the page number, the two %s the printer
// and where it is.
struct PrintTexts {
    QString caption = QStringLiteral("Printing...");
    QString cancelButton = QStringLiteral("Cancel");
    QString deviceLine = QStringLiteral("on the %s on %s");
    QString pageLine = QStringLiteral("Now printing Page %d of");
};

enum class PrintResult { Printed, Cancelled, Failed };

class DocumentPrinter : public QObject {
    Q_OBJECT
public:
    explicit DocumentPrinter(QWidget* progressParent = nullptr);

    void setTexts(const PrintTexts& texts) { texts_ = texts; }
    const PrintTexts& texts() const { return texts_; }
    // The document's name in the progress box.
    void setDocumentName(const QString& name) { documentName_ = name; }
    void setShowProgress(bool show) { showProgress_ = show; }

    // Pages fromPage..toPage (1-based, inclusive; 0 means from the first or
    // to the last).  A range outside the document prints what overlaps it.
    PrintResult print(const Document& document, QPrinter& printer, int fromPage = 0, int toPage = 0);
    QString errorMessage() const { return error_; }
    // Pages the last print sent, whatever its end.
    int pagesPrinted() const { return pagesPrinted_; }

    // The progress box's text for one page.
    QString progressText(int page, const QString& printerName, const QString& port) const;

public slots:
    // Stops after the page being printed.
    void cancel() { cancelled_ = true; }

signals:
    void pagePrinted(int page, int lastPage);

private:
    QWidget* parent_;
    PrintTexts texts_;
    QString documentName_ = QStringLiteral("Character sheet");
    QString error_;
    bool showProgress_ = true;
    bool cancelled_ = false;
    int pagesPrinted_ = 0;
};

// What the printer is, for the progress box and messages: its name, or
// "PDF writer" when it writes a file (it then has no name).
QString printerDescription(const QPrinter& printer);

// Where the printer's pages go, for the progress box: the output file, the
// printer's location, or the print system.
QString printerPort(const QPrinter& printer);

// Paper size of the default printer in twips; Letter when there is none.
QSizeF defaultPaperTwips();

} // namespace quillet::surface
