// What the preferences dialog does, apart from drawing it: its caption,
// its controls in order (object names and captions, for the shell to lay
// out), and the rules that move the four option flags into the check
// boxes and back.  Nothing is written to the settings file here.
#pragma once

#include "common/text.h"
#include "state/app_state.h"

#include <array>
#include <cstdint>

namespace quillet {

// Check-box states: 0 clear, 1 ticked, 2 greyed.
inline constexpr int16_t kCheckClear = 0;
inline constexpr int16_t kCheckTicked = 1;
inline constexpr int16_t kCheckGreyed = 2;

struct PrefsCheckBox {
    const char* objectName;
    TextView caption;
    int16_t AppState::*flag;
};

struct PrefsButton {
    const char* objectName;
    TextView caption; // "&" marks the access key
};

inline constexpr TextView kPrefsCaption = u"Preferences";

inline constexpr std::array<PrefsCheckBox, 4> kPrefsCheckBoxes{{
    {"chkNoLogo", u"No logo", &AppState::NoLogo},
    {"chkLinesToLog", u"Echo script lines to logging window", &AppState::LinesToLog},
    {"chkEchoToRun", u"Echo lines to DEBUG.RUN file.", &AppState::EchoToRun},
    {"chkDebug", u"Debug/Logging", &AppState::Debug},
}};

inline constexpr std::array<PrefsButton, 2> kPrefsButtons{{
    {"btnCancel", u"&Cancel"},
    {"btnOkay", u"&OK"},
}};

class PrefsModel {
public:
    explicit PrefsModel(AppState& state);

    // On loading the dialog: every box clear, then each box whose flag is
    // not 0 ticked.
    void load();

    // State of the box at `index` in kPrefsCheckBoxes; out-of-range
    // indexes and states are ignored.
    int16_t checkState(size_t index) const;
    void setCheckState(size_t index, int16_t state);

    // OK: every flag off, then each flag whose box is ticked (state 1; a
    // greyed box is not) on (-1).  The caller closes the dialog.
    void ok();
    // Cancel or the window frame's close: nothing changes.
    void cancel() {}

private:
    AppState& state_;
    std::array<int16_t, kPrefsCheckBoxes.size()> checks_{};
};

} // namespace quillet
