#include "logging/log_layout.h"

#include <algorithm>

namespace quillet {

LogWindowLayout layoutLogWindow(float innerWidth, float innerHeight, float buttonHeight)
{
    LogWindowLayout layout;
    layout.buttonTop = std::max(0.0f, innerHeight - buttonHeight - 60);
    layout.listLeft = kLogMargin;
    layout.listTop = kLogMargin;
    layout.listWidth = std::max(0.0f, innerWidth - 2 * kLogMargin);
    layout.listHeight = std::max(0.0f, innerHeight - buttonHeight - 180);
    return layout;
}

WindowMeasures logWindowPlacement(const AppState& state)
{
    return {state.LogLeft, state.LogTop, state.LogWidth, state.LogHeight};
}

WindowMeasures fitWindowToScreen(const WindowMeasures& outer, const WindowMeasures& screen)
{
    const float screenWidth = std::max(screen.width, 0.0f);
    const float screenHeight = std::max(screen.height, 0.0f);
    WindowMeasures fitted;
    fitted.width = std::clamp(outer.width, 0.0f, screenWidth);
    fitted.height = std::clamp(outer.height, 0.0f, screenHeight);
    fitted.left = std::clamp(outer.left, screen.left, screen.left + screenWidth - fitted.width);
    fitted.top = std::clamp(outer.top, screen.top, screen.top + screenHeight - fitted.height);
    return fitted;
}

bool rememberLogWindowMeasures(AppState& state, const WindowMeasures& outer, bool minimized)
{
    if (minimized)
        return false;
    state.LogLeft = outer.left;
    state.LogTop = outer.top;
    state.LogWidth = outer.width;
    state.LogHeight = outer.height;
    return true;
}

} // namespace quillet
