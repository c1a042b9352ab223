// One text font as the surface keeps it: the name the script gave (mapped
// to an installed family only when measuring or drawing), the size in
// points exactly as given, and the style flags.
#pragma once

#include "common/text.h"

#include <cstring>

namespace quillet::surface {

struct FontStyle {
    Text name = u"Arial";
    double size = 11.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    // Layout and the writers look fonts up by style all the time: the
    // plain fields first, and the name's bytes at once.
    friend bool operator==(const FontStyle& a, const FontStyle& b)
    {
        return a.size == b.size && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
               a.strikeout == b.strikeout && a.name.size() == b.name.size() &&
               std::memcmp(a.name.data(), b.name.data(), a.name.size() * sizeof(char16_t)) == 0;
    }
};

} // namespace quillet::surface
