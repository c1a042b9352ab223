// Window measures in the program's settings and layout rules are twips
// (1440 to the inch).  The desktop works at a fixed 15 twips per pixel
// (96 pixels to the inch), so a stored window position means the same
// place on every screen and layouts are exact in tests.
#pragma once

#include <cmath>

namespace quillet {

inline constexpr double kTwipsPerPixel = 15;

inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline float pixelsToTwips(int pixels)
{
    return static_cast<float>(pixels * kTwipsPerPixel);
}

} // namespace quillet
