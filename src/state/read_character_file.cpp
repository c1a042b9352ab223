#include "state/read_character_file.h"

#include "character/character_file_error.h"
#include "character/file_io.h"
#include "common/file_system.h"
#include "common/text_lines.h"
#include "common/vb_error.h"
#include "state/app_state.h"

namespace quillet {

namespace {

// Keeps the hourglass up for exactly the length of a read, failures
// included, so a failed read never leaves the program busy.
class BusyPointer {
public:
    explicit BusyPointer(AppState& state) : state_(state) { state_.PushMousePointer(kPointerHourglass); }
    ~BusyPointer() { release(); }
    void release()
    {
        if (!released_) {
            released_ = true;
            state_.PopMousePointer();
        }
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    AppState& state_;
    bool released_ = false;
};

} // namespace

bool ReadCharacterFile(AppState& state, ReaderUi& ui, const Text& path)
{
    BusyPointer busy(state);
    state.ClearCharacter();

    const Text content = decodeFileText(readFileBytes(path));
    TextLines lines(content);
    if (lines.atEnd())
        throw CharacterFileError(VbError(vberr::InputPastEnd), 1, 1);
    if (!IsCharacterFileHeader(lines.next())) {
        busy.release();
        ui.messageBox(u"This program will not read characters from versions of KVR prior to v2.");
        return false;
    }

    state.CurrentCharFile = path;
    ReadCharacterContent(state.currentCharacter(), content, {path, state.ParaMarker, state.CRLF}, ui);
    ui.setMainWindowCaption(u"KVR Character Printer " + VersionText() + u" (" + state.CurrentCharFile + u")");
    return true;
}

Text ReadFailureMessage(const Text& path, const VbError& error)
{
    const Text reason = error.description() + u" (error " + decimalText(error.number()) + u").";
    Text where;
    if (const auto* fileError = dynamic_cast<const CharacterFileError*>(&error)) {
        where = u"Reading stopped at line " + decimalText(static_cast<int64_t>(fileError->firstLine()));
        if (fileError->lastLine() > fileError->firstLine())
            where += u" (continued to line " + decimalText(static_cast<int64_t>(fileError->lastLine())) + u")";
        where += u": ";
    }
    return u"The character file " + path + u" could not be read." + u"\r\n\r\n" + where + reason;
}

} // namespace quillet
