#include "surface/pdf_export.h"

#include "common/stop_request.h"
#include "surface/pdf_writer.h"
#include "surface/stoppable_save_file.h"

#include <QPageLayout>
#include <QPageSize>

#include <algorithm>

namespace quillet::surface {

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
            *error = StopScope::requested() ? QStringLiteral("Writing the PDF file %1 was stopped.").arg(path)
                                            : message;
        return false;
    };
    if (document.pages.empty())
        return fail(QStringLiteral("The document has no pages."));

    StoppableSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write the PDF file %1.").arg(path));
    bool written = false;
    try {
        written = writePdfTo(file, document, title);
    } catch (const StopRequested&) {
        file.cancelWriting();
        return fail(QString());
    }
    // A stop after the last write still leaves the old file: no commit.
    if (!written || StopScope::requested() || !file.commit()) {
        file.cancelWriting();
        return fail(QStringLiteral("Cannot finish the PDF file %1.").arg(path));
    }
    return true;
}

} // namespace quillet::surface
