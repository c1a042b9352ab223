#include "state/read_character_file.h"

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
        throw VbError(vberr::InputPastEnd);
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

} // namespace quillet
