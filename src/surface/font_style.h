// One text font as the surface keeps it: the name the script gave (mapped
// to an installed family only when measuring or drawing), the size in
// points exactly as given, and the style flags.
#pragma once

#include "common/text.h"

namespace quillet::surface {

struct FontStyle {
    Text name = u"Arial";
    double size = 11.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

} // namespace quillet::surface
