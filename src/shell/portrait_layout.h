// Where the portrait window's controls go when it is resized, in twips:
// the three buttons keep 60 twips from the right edge, the picture and its
// label end 120 twips before the buttons, and the picture ends 60 twips
// above the bottom; the picture's left and top edges never move.
#pragma once

#include <optional>

namespace quillet {

inline constexpr float kPortraitButtonWidth = 1215;
inline constexpr float kPortraitButtonHeight = 495;
inline constexpr float kPortraitButtonTops[3] = {120, 720, 1320};
// Below this outer width or height the window keeps its controls where
// they are.
inline constexpr float kPortraitMinimumOuter = 2880;

struct PortraitWindowMeasures {
    float outerWidth = 0;
    float outerHeight = 0;
    float innerWidth = 0;
    float innerHeight = 0;
    float imageLeft = 0;
    float imageTop = 0;
    bool minimized = false;
};

struct PortraitLayout {
    int buttonsLeft = 0; // 16-bit, rounded halves to even
    int imageWidth = 0;  // also the label's width
    float imageHeight = 0;
};

// Nothing while minimised or below the minimum outer size.  A window so
// wide that a measure leaves the 16-bit range is error 6 (Overflow).
std::optional<PortraitLayout> layoutPortraitWindow(const PortraitWindowMeasures& m);

} // namespace quillet
