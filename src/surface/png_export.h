// Pages as images, for PNG files and for tests that look for ink.
#pragma once

#include "surface/document.h"

#include <QImage>
#include <QString>

namespace quillet::surface {

inline constexpr double kMinImageDpi = 1;
inline constexpr double kMaxImageDpi = 1200;

// Most pixels a page image may have (256 MB of them): a page of 200 inches
// a side would take 3.6 GB at 150 dpi.
inline constexpr double kMaxImagePixels = double(1 << 26);

// `dpi` clamped to the range above, or lowered to the highest resolution
// that keeps the page's image within kMaxImagePixels.
double pageImageDpi(const Page& page, double dpi);

// The page on white at pageImageDpi(page, dpi) dots per inch.
QImage renderPageImage(const Page& page, double dpi);

// One PNG per page; `pathPattern` holds %1 for the 1-based page number.
// Each file is replaced only once it is complete.  False, with a message
// in `error`, when there are no pages, the pattern lacks %1, the
// resolution is out of range, a file cannot be written or this thread's
// stop request (common/stop_request.h) came first.
bool writePngPages(const Document& document, const QString& pathPattern, double dpi, QString* error = nullptr);

} // namespace quillet::surface
