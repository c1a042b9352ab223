// A TrueType font program cut down to the glyphs a document draws, for
// embedding in PDF, without hinting.  Glyph ids stay as they are (the PDF addresses glyphs
// by id): glyphs not kept become empty outlines, and the font ends after
// the highest id kept, so the tables that grow with the glyph count
// (loca, hmtx) shrink too.  Composite glyphs keep their components.
#pragma once

#include <QByteArray>
#include <QPainterPath>

#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace quillet::surface {

// The tables of one font by tag ("glyf", "head"...); an empty array when
// the font has no such table.
using FontTableReader = std::function<QByteArray(const char* tag)>;

// What a PDF font descriptor needs, in the font's own units.
struct TrueTypeFacts {
    int unitsPerEm = 1000;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int ascent = 0;
    int descent = 0;
    int capHeight = 0;
    double italicAngle = 0;
    bool fixedPitch = false;
    int glyphCount = 0;
};

class TrueTypeFont {
public:
    // Nothing when the font has no TrueType outlines (glyf and loca) or
    // its tables are cut short.
    static std::optional<TrueTypeFont> read(const FontTableReader& tables);

    const TrueTypeFacts& facts() const { return facts_; }
    // The advance of `glyph` in font units (0 past the last glyph).
    int advance(unsigned glyph) const;
    // The font program holding `glyphs` (glyph 0 is always kept); ids past
    // the font's glyph count are ignored.
    QByteArray subset(const std::set<unsigned>& glyphs) const;

private:
    // The bytes of one glyph's outline, empty for a blank glyph.
    QByteArray glyphData(unsigned glyph) const;
    void addComponents(unsigned glyph, std::set<unsigned>& kept, int depth) const;

    TrueTypeFacts facts_;
    QByteArray head_, hhea_, hmtx_, maxp_, loca_, glyf_;
    bool longLoca_ = false;
    int horizontalMetrics_ = 0;
};

// One glyph of a face given as outlines: the path as Qt gives it (y grows
// downwards) in font units, and its advance.
struct OutlineGlyph {
    QPainterPath path;
    double advance = 0;
};

// A TrueType font program for a face whose outlines are not TrueType's
// (or that the font engine emboldens or slants): glyph i + 1 is glyphs[i],
// glyph 0 an empty one.  Lines stay lines; cubic curves become quadratic
// ones, split until they stray less than half a font unit.
QByteArray trueTypeFromOutlines(const std::vector<OutlineGlyph>& glyphs, int unitsPerEm, int ascent, int descent);

} // namespace quillet::surface
