// Colours as the sheet scripts give them: 24-bit numbers with red in the
// low byte, green in the middle and blue in the high byte.
#pragma once

#include <QColor>

#include <cstdint>

namespace quillet::surface {

using Rgb = uint32_t;

inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;

// Only the low 24 bits carry the colour; anything above (system-colour
// flags of the old API, sign bits of a negative number) is dropped.
constexpr Rgb rgbFromNumber(int64_t value) { return static_cast<Rgb>(value) & 0xFFFFFFu; }

inline QColor toQColor(Rgb rgb)
{
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

} // namespace quillet::surface
