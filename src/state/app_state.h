// The state the whole program shares: the program folder, the settings,
// the recent files, the character in use, the script host, and the busy
// flag with its stack of mouse pointers.  One object, created by start-up
// (and afresh by every test), instead of scattered globals.
#pragma once

#include "character/keyed_list.h"
#include "character/kvr_character.h"
#include "common/text.h"
#include "state/cls_script.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quillet {

// Mouse-pointer shapes that matter to the program.
inline constexpr int16_t kPointerDefault = 0;
inline constexpr int16_t kPointerHourglass = 11;

// Truth values as the settings and scripts hold them.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

class AppState {
public:
    AppState();

    // Settings values at start, before the settings file is read; needs
    // HomePath to be set first.
    void SetDefaults();

    // Replaces Characters by a new list holding one new, empty character.
    void ClearCharacter();
    KVRCharacter& currentCharacter() const;
    std::shared_ptr<KVRCharacter> currentCharacterPtr() const;

    // Saves the current mouse pointer and shows `shape`; the hourglass
    // raises Busy.  Pop restores the saved pointer and lowers Busy unless
    // the restored pointer is itself the hourglass.
    void PushMousePointer(int16_t shape);
    void PopMousePointer();
    int16_t mousePointer() const { return mousePointer_; }
    // How the desktop shows a pointer change; nothing by default.
    std::function<void(int16_t)> showMousePointer;

    Text HomePath;        // program folder, ending in "/"
    // Where the settings file and the trace files are written, ending in
    // "/" (common/settings_folder.h); empty means HomePath.
    Text SettingsFolder;
    const Text& settingsFolder() const { return SettingsFolder.empty() ? HomePath : SettingsFolder; }
    Text CRLF = u"\r\n";
    Text ParaMarker = u"~P";

    Text PrinterFont;
    Text TesseraFile;
    Text TesseraDir;
    Text CharDir;
    int16_t Debug = kFalse;
    int16_t EchoToRun = kFalse;
    int16_t LinesToLog = kFalse;
    int16_t NoLogo = kFalse;
    // The preview window shows the pages again whenever the sheet script
    // or the character file is saved.
    int16_t LiveRefresh = kTrue;
    float LogLeft = 960;
    float LogTop = 4515;
    float LogWidth = 7485;
    float LogHeight = 3225;
    // The main window's place (its frame's top left corner) and size (its
    // client area), in twips; a width of 0 means none was stored, and the
    // desktop places it.
    float MainLeft = 0;
    float MainTop = 0;
    float MainWidth = 0;
    float MainHeight = 0;
    int16_t MainMaximized = kFalse;
    // The size file dialogs open at, in twips; 0 means the desktop's own.
    float FileDialogWidth = 0;
    float FileDialogHeight = 0;

    // Position 1 is the newest; position 0 exists and is never used.
    std::array<Text, 5> MRUFiles;

    KeyedList<KVRCharacter> Characters;
    int16_t CurrentCharacter = 1;
    clsScript ScriptHost;
    Text CurrentCharFile;
    int16_t Busy = kFalse;

private:
    void setMousePointer(int16_t shape);

    int16_t mousePointer_ = kPointerDefault;
    bool pointerStackCreated_ = false;
    std::vector<int16_t> pointerStack_; // position 0 is never used
};

// "v2.0 ß14": the program's version as shown in captions and the log.
Text VersionText();

// 1-based position of the last occurrence of `find` within the first
// `start` characters of `text`; 0 when none.  A start of -1 means the whole
// text, and the text's length is then written back into `start`.
int16_t FindLast(int16_t& start, TextView text, TextView find);

} // namespace quillet
