// Pages as images, for PNG files and for tests that look for ink.
#pragma once

#include "surface/document.h"

#include <QImage>
#include <QString>

namespace quillet::surface {

inline constexpr double kMinImageDpi = 1;
inline constexpr double kMaxImageDpi = 1200;

// The page on white at `dpi` dots per inch (clamped to the range above).
QImage renderPageImage(const Page& page, double dpi);

// One PNG per page; `pathPattern` holds %1 for the 1-based page number.
// False, with a message in `error`, when there are no pages, the pattern
// lacks %1, the resolution is out of range or a file cannot be written.
bool writePngPages(const Document& document, const QString& pathPattern, double dpi, QString* error = nullptr);

} // namespace quillet::surface
