#include "surface/png_export.h"

#include "surface/page_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillet::surface {

QImage renderPageImage(const Page& page, double dpi)
{
    dpi = std::clamp(dpi, kMinImageDpi, kMaxImageDpi);
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
    for (size_t i = 0; i < document.pages.size(); ++i) {
        QString path = pathPattern.arg(i + 1);
        if (!renderPageImage(document.pages[i], dpi).save(path, "PNG"))
            return fail(QStringLiteral("Cannot write the image file %1.").arg(path));
    }
    return true;
}

} // namespace quillet::surface
