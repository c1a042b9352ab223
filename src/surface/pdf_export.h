// Writes a document as PDF: one PDF page per page at its exact paper size,
// fonts embedded, text selectable.
#pragma once

#include "surface/document.h"

#include <QPageLayout>
#include <QString>

namespace quillet::surface {

// The paper of one page, without margins: a portrait size turned to
// landscape when the page is wider than high.  Printers use it too.
QPageLayout pageLayoutFor(const Page& page);

// The file is replaced only once it is complete.  False, with a message in
// `error`, when the document has no pages, the file cannot be written or
// this thread's stop request (common/stop_request.h) came first; `path` is
// then as it was.
bool writePdf(const Document& document, const QString& path, QString* error = nullptr,
              const QString& title = QString());

} // namespace quillet::surface
