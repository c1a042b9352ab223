// Where the preview puts each page for a zoom mode and a viewport size.
// Kept apart from the widget so that the zoom rules can be checked without
// painting anything.
#pragma once

#include <QRectF>
#include <QSizeF>

#include <vector>

namespace quillet::surface {

// The four entries of the zoom menu, in menu order, then a free percentage.
enum class ZoomMode { WholePage, PageWidth, TwoPages, Thumbnail, Percent };

inline constexpr double kPreviewGap = 12;           // pixels around and between pages
inline constexpr double kThumbnailHeight = 160;     // pixels for the tallest page
inline constexpr int kMinZoomPercent = 10;
inline constexpr int kMaxZoomPercent = 400;
inline constexpr int kZoomStepPercent = 25;

struct PreviewGeometry {
    double scale = 1;                // pixels per twip
    int columns = 1;                 // pages per row
    std::vector<QRectF> pageRects;   // in scrolled content pixels
    QSizeF contentSize;
};

// `pageSizes` in twips, `viewport` in pixels; `percent` and `screenDpi`
// matter only in Percent mode (100 % shows the paper at its real size).
PreviewGeometry layoutPreview(const std::vector<QSizeF>& pageSizes, QSizeF viewport, ZoomMode mode,
                              int percent, double screenDpi);

} // namespace quillet::surface
