#include "state/document_title.h"

#include "common/file_system.h"
#include "state/app_state.h"

namespace quillet {

Text sheetDocumentTitle(const AppState& state)
{
    const Text name = trimSpaces(state.currentCharacter().Name);
    const Text sheet = fileNameOf(state.TesseraFile);
    if (name.empty())
        return sheet;
    if (sheet.empty())
        return name;
    return name + u" - " + sheet;
}

} // namespace quillet
