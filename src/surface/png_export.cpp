#include "surface/png_export.h"

#include "common/stop_request.h"
#include "surface/page_painter.h"
#include "surface/stoppable_save_file.h"

#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillet::surface {

double pageImageDpi(const Page& page, double dpi)
{
    dpi = std::clamp(dpi, kMinImageDpi, kMaxImageDpi);
    const double pixelsAtDpi = (page.width / 1440.0 * dpi) * (page.height / 1440.0 * dpi);
    if (pixelsAtDpi > kMaxImagePixels)
        dpi = std::max(kMinImageDpi, dpi * std::sqrt(kMaxImagePixels / pixelsAtDpi));
    return dpi;
}

QImage renderPageImage(const Page& page, double dpi)
{
    dpi = pageImageDpi(page, dpi);
    const double pixelsPerTwip = dpi / 1440.0;
    QSize size(std::max(1, static_cast<int>(std::lround(page.width * pixelsPerTwip))),
               std::max(1, static_cast<int>(std::lround(page.height * pixelsPerTwip))));
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // Scale by the device's own dpi, the one Qt sizes fonts with.
    painter.setWorldTransform(twipTransform(image.logicalDpiY()));
    paintPage(painter, page);
    return image;
}

bool writePngPages(const Document& document, const QString& pathPattern, double dpi, QString* error)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (document.pages.empty())
        return fail(QStringLiteral("The document has no pages."));
    if (!pathPattern.contains(QStringLiteral("%1")))
        return fail(QStringLiteral("The file name pattern needs %1 for the page number."));
    if (!(dpi >= kMinImageDpi && dpi <= kMaxImageDpi))
        return fail(QStringLiteral("The resolution must be between %1 and %2 dots per inch.")
                        .arg(kMinImageDpi)
                        .arg(kMaxImageDpi));
    try {
        for (size_t i = 0; i < document.pages.size(); ++i) {
            const QString path = pathPattern.arg(i + 1);
            const QImage image = renderPageImage(document.pages[i], dpi);
            StoppableSaveFile file(path);
            const bool written = file.open(QIODevice::WriteOnly) && QImageWriter(&file, "png").write(image);
            pollStop();
            if (!written || !file.commit())
                return fail(QStringLiteral("Cannot write the image file %1.").arg(path));
        }
    } catch (const StopRequested&) {
        return fail(QStringLiteral("Writing the pages was stopped."));
    }
    return true;
}

} // namespace quillet::surface
