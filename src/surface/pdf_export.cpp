#include "surface/pdf_export.h"

#include "surface/page_painter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace quillet::surface {
namespace {

// One device unit per twip: coordinates pass through unscaled.
constexpr int kPdfResolution = 1440;

} // namespace

QPageLayout pageLayoutFor(const Page& page)
{
    // A page needs some paper: sizes below one point are raised to it.
    const double w = std::max(page.width / 20.0, 1.0);
    const double h = std::max(page.height / 20.0, 1.0);
    QSizeF points(std::min(w, h), std::max(w, h));
    auto orientation = page.width > page.height ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch), orientation,
                       QMarginsF(0, 0, 0, 0));
}

bool writePdf(const Document& document, const QString& path, QString* error, const QString& title)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (document.pages.empty())
        return fail(QStringLiteral("The document has no pages."));

    QPdfWriter writer(path);
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("Quillet"));
    writer.setTitle(title);
    writer.setPageLayout(pageLayoutFor(document.pages.front()));

    QPainter painter;
    if (!painter.begin(&writer))
        return fail(QStringLiteral("Cannot write the PDF file %1.").arg(path));
    for (size_t i = 0; i < document.pages.size(); ++i) {
        const Page& page = document.pages[i];
        if (i > 0) {
            writer.setPageLayout(pageLayoutFor(page));
            writer.newPage();
        }
        paintPage(painter, page);
    }
    if (!painter.end())
        return fail(QStringLiteral("Cannot finish the PDF file %1.").arg(path));
    return true;
}

} // namespace quillet::surface
