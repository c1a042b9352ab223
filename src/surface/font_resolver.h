// Turns a font name from a sheet script into an installed font family.
// Sheets name the fonts of the platform they were written on; each common
// one maps to the closest font Debian ships (fontMappings), metric-
// compatible where such a font exists, so that layouts measure as their
// authors saw them.  A name that is neither mapped nor installed falls back
// to the Arial equivalent rather than to whatever the system would
// substitute.
#pragma once

#include "surface/font_style.h"

#include <QFont>
#include <QString>

#include <array>
#include <optional>
#include <span>

namespace quillet::surface {

struct FontMapping {
    const char16_t* name;  // as sheets write it, lower case
    // Installed families to use, the first one present wins.
    std::array<const char*, 2> families;
    // Same advance widths as the named font: text measures and wraps as
    // on the platform the sheet was written for.
    bool metricCompatible;
};

std::span<const FontMapping> fontMappings();

// Needs a QGuiApplication (the font database lives there); safe to call
// from any thread.
QString resolveFontFamily(const Text& requestedName);

// The family drawn instead when `requestedName` is neither a mapped name
// nor an installed family; nothing when the name resolves.
std::optional<QString> fontFallbackFor(const Text& requestedName);

// The text as it is drawn in `style`: in a picture font (symbol_fonts.h)
// the codes become the characters they stand for.
QString drawnText(const FontStyle& style, TextView text);

// The QFont that draws `style` on a device of `deviceDpi` logical dots per
// inch whose painter maps one logical unit to one twip: its pixel size is
// then size x 20 logical units on every device, which keeps measured and
// drawn advances identical.  Hinting is off so that advances do not snap
// to device pixels.  Sizes are kept between 0.05 and 800 points (NaN gives
// the smallest), the range the font engine can scale.
QFont makeTwipFont(const FontStyle& style, double deviceDpi);

} // namespace quillet::surface
