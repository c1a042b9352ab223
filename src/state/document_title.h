// The one name a printed or saved sheet goes by - the print job, the PDF
// file's title, the name a print dialog proposes for a file: the
// character's name and the sheet script's file name.
#pragma once

#include "common/text.h"

namespace quillet {

class AppState;

// "Sir Aldric Venn - chrsht.tsx"; the sheet's file name alone for a
// character without a name.
Text sheetDocumentTitle(const AppState& state);

} // namespace quillet
