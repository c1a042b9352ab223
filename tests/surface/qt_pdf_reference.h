// Qt's own PDF writer over the page painter: the reference the surface's
// PDF writer is compared with (text, rendered pages) and timed against.
#pragma once

#include "surface/document.h"

#include <QString>

namespace quillet::surface::testing {

bool writePdfWithQt(const Document& document, const QString& path, const QString& title = QString());

} // namespace quillet::surface::testing
