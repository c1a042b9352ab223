// Measuring text for layout.  Layout only ever asks this interface, so the
// layout rules can be tested with simple fixed metrics while the program
// measures through Qt (QtTextMeasurer) exactly as the renderers draw.
#pragma once

#include "common/text.h"
#include "surface/font_style.h"

#include <optional>

namespace quillet::surface {

struct LineMetrics {
    double ascent = 0;
    double descent = 0;
    double leading = 0;  // external leading, added below the descent
    // Single line spacing: font height plus external leading.
    double lineHeight() const { return ascent + descent + leading; }
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Advance width of one line of text (no line breaks) in twips.
    virtual double advance(const FontStyle& font, TextView text) const = 0;
    // advance(), also telling whether that advance is the exact sum of
    // the advances of the text's characters, so that the advance of text
    // joined from pieces so measured is the sum of theirs.
    virtual double advanceOfCharacters(const FontStyle& font, TextView text, bool& sumOfCharacters) const
    {
        sumOfCharacters = false;
        return advance(font, text);
    }
    virtual LineMetrics metrics(const FontStyle& font) const = 0;
    // The font drawn instead of `fontName` when no font of that name is
    // known or installed; nothing when it is.
    virtual std::optional<Text> fallbackFor(const Text& fontName) const
    {
        (void)fontName;
        return std::nullopt;
    }
};

} // namespace quillet::surface
