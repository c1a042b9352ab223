// Our own PDF writer: turns a document's display list straight into PDF
// bytes.  Text is shaped once with Qt (the fonts resolved as the painter
// resolves them) and written as glyph ids in embedded fonts: TrueType
// fonts as subset CID fonts; fonts with other outlines, and faces the font
// engine emboldens or slants, as Type 3 fonts drawn from the outlines Qt
// gives; a ToUnicode map built from the drawn
// text keeps it selectable and searchable.
#pragma once

#include "surface/document.h"

#include <QByteArray>
#include <QString>

namespace quillet::surface {

// The whole file.  Needs a QGuiApplication (fonts); throws StopRequested
// when this thread's stop request (common/stop_request.h) comes first.
QByteArray pdfBytes(const Document& document, const QString& title);

} // namespace quillet::surface
