// Text with its formatting, as the line breaker takes it: plain text output
// is one run in the surface font; rich text is many runs per paragraph.
#pragma once

#include "surface/font_style.h"
#include "surface/rgb_colour.h"

#include <vector>

namespace quillet::surface {

enum class Align { Left, Center, Right, Justify };

struct StyledRun {
    Text text;
    FontStyle font;
    Rgb colour = kBlack;
};

struct StyledParagraph {
    std::vector<StyledRun> runs;
    Align align = Align::Left;
};

} // namespace quillet::surface
