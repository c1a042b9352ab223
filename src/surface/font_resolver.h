// Turns a font name from a sheet script into an installed font family.
// The three classic Windows faces map to their metric-compatible Liberation
// equivalents so that layouts measure as their authors saw them; a name
// that is neither installed nor mapped falls back to the Arial equivalent
// rather than to whatever the system would substitute.
#pragma once

#include "surface/font_style.h"

#include <QFont>
#include <QString>

namespace quillet::surface {

// Needs a QGuiApplication (the font database lives there); safe to call
// from any thread.
QString resolveFontFamily(const Text& requestedName);

// The QFont that draws `style` on a device of `deviceDpi` logical dots per
// inch whose painter maps one logical unit to one twip: its pixel size is
// then size x 20 logical units on every device, which keeps measured and
// drawn advances identical.  Hinting is off so that advances do not snap
// to device pixels.  Sizes are kept between 0.05 and 800 points (NaN gives
// the smallest), the range the font engine can scale.
QFont makeTwipFont(const FontStyle& style, double deviceDpi);

} // namespace quillet::surface
