// Where the logging window's controls go when the window is resized, and
// which measures the window leaves in the settings.  All measures are in
// twips; the shell converts to and from its pixels.
#pragma once

#include "state/app_state.h"

namespace quillet {

// A window's outer position and size.
struct WindowMeasures {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

struct LogWindowLayout {
    float listLeft = 0;
    float listTop = 0;
    float listWidth = 0;
    float listHeight = 0;
    // The export button keeps its left position and width; only its top
    // follows the window.
    float buttonTop = 0;
};

inline constexpr float kLogMargin = 120;

// The list fills the client area within a 120-twip margin and ends exactly
// where the button begins; the button sits 60 twips above the bottom.  In
// a window too small for the margins the list shrinks to nothing and the
// button stops at the top, instead of taking negative measures.
LogWindowLayout layoutLogWindow(float innerWidth, float innerHeight, float buttonHeight);

// The window's position as start-up places it: LogLeft, LogTop, LogWidth,
// LogHeight.
WindowMeasures logWindowPlacement(const AppState& state);

// `outer` moved and shrunk as little as needed to lie within `screen`
// (the screens' usable area): measures from the settings file must not
// make a window larger than what shows it, nor put it out of sight.
WindowMeasures fitWindowToScreen(const WindowMeasures& outer, const WindowMeasures& screen);

// Copies the outer measures into LogLeft..LogHeight, unless the window is
// minimized (its measures then say nothing about where the user wants it).
// Returns whether it copied.
bool rememberLogWindowMeasures(AppState& state, const WindowMeasures& outer, bool minimized);

} // namespace quillet
