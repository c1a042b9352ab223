#include "qt_pdf_reference.h"

#include "surface/page_painter.h"
#include "surface/pdf_export.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

namespace quillet::surface::testing {

bool writePdfWithQt(const Document& document, const QString& path, const QString& title)
{
    if (document.pages.empty())
        return false;
    QPdfWriter writer(path);
    // One device unit per twip, as the page painter expects.
    writer.setResolution(1440);
    writer.setCreator(QStringLiteral("Quillet"));
    writer.setTitle(title);
    writer.setPageLayout(pageLayoutFor(document.pages.front()));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0) {
            writer.setPageLayout(pageLayoutFor(document.pages[i]));
            writer.newPage();
        }
        paintPage(painter, document.pages[i]);
    }
    return painter.end();
}

} // namespace quillet::surface::testing
