#include "surface/widgets/preview_geometry.h"

#include <algorithm>
#include <cmath>

namespace quillet::surface {
namespace {

double scaleFor(QSizeF largest, QSizeF viewport, ZoomMode mode, int percent, double screenDpi)
{
    const double w = std::max(largest.width(), 1.0);
    const double h = std::max(largest.height(), 1.0);
    const double roomW = std::max(viewport.width() - 2 * kPreviewGap, 1.0);
    const double roomH = std::max(viewport.height() - 2 * kPreviewGap, 1.0);
    switch (mode) {
    case ZoomMode::WholePage:
        return std::min(roomW / w, roomH / h);
    case ZoomMode::PageWidth:
        return roomW / w;
    case ZoomMode::TwoPages:
        return std::min((roomW - kPreviewGap) / (2 * w), roomH / h);
    case ZoomMode::Thumbnail:
        return kThumbnailHeight / h;
    case ZoomMode::Percent:
        break;
    }
    const int clamped = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    return clamped / 100.0 * screenDpi / 1440.0;
}

} // namespace

PreviewGeometry layoutPreview(const std::vector<QSizeF>& pageSizes, QSizeF viewport, ZoomMode mode, int percent,
                              double screenDpi)
{
    PreviewGeometry g;
    QSizeF largest(0, 0);
    for (const QSizeF& size : pageSizes)
        largest = largest.expandedTo(size);
    g.scale = std::max(scaleFor(largest, viewport, mode, percent, screenDpi), 1e-4);
    const double cellW = largest.width() * g.scale;
    if (mode == ZoomMode::TwoPages)
        g.columns = 2;
    else if (mode == ZoomMode::Thumbnail)
        g.columns = std::max(1, static_cast<int>((viewport.width() - kPreviewGap) / (cellW + kPreviewGap)));
    g.columns = std::max(1, std::min<int>(g.columns, static_cast<int>(std::max<size_t>(pageSizes.size(), 1))));

    const double gridW = g.columns * cellW + (g.columns + 1) * kPreviewGap;
    const double contentW = std::max(gridW, viewport.width());
    const double originX = (contentW - gridW) / 2 + kPreviewGap;
    double rowTop = kPreviewGap;
    for (size_t first = 0; first < pageSizes.size(); first += static_cast<size_t>(g.columns)) {
        double rowH = 0;
        for (size_t i = first; i < std::min(pageSizes.size(), first + static_cast<size_t>(g.columns)); ++i) {
            const QSizeF size = pageSizes[i] * g.scale;
            const double column = static_cast<double>(i - first);
            const double x = originX + column * (cellW + kPreviewGap) + (cellW - size.width()) / 2;
            g.pageRects.emplace_back(x, rowTop, size.width(), size.height());
            rowH = std::max(rowH, size.height());
        }
        rowTop += rowH + kPreviewGap;
    }
    g.contentSize = QSizeF(contentW, std::max(rowTop, viewport.height()));
    return g;
}

} // namespace quillet::surface
