// Our own PDF writer: turns a document's display list straight into PDF
// bytes.  Text is shaped once with Qt (the fonts resolved as the painter
// resolves them) and written as glyph ids in embedded fonts, each face
// once: TrueType faces as subsets of their own font programs, faces with
// other outlines as TrueType programs made from the outlines Qt gives.  A
// ToUnicode map built from the drawn text keeps it selectable and
// searchable.
#pragma once

#include "surface/document.h"

#include <QIODevice>
#include <QString>

namespace quillet::surface {

// Writes the whole file to `device`, in pieces as it goes.  False when the
// device refuses a write.  Needs a QGuiApplication (fonts); throws
// StopRequested when this thread's stop request (common/stop_request.h)
// comes first.
bool writePdfTo(QIODevice& device, const Document& document, const QString& title);

} // namespace quillet::surface
