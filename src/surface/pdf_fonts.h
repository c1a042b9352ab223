// The fonts of a PDF file: each text style resolved as the painter
// resolves it, its text placed as glyphs, and each face embedded once as a
// CID font with its widths and ToUnicode map.
#pragma once

#include "surface/font_style.h"
#include "surface/font_subset.h"
#include "surface/pdf_syntax.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace quillet::surface::pdf {

// PDF font widths are in thousandths of the em; fonts made from outlines
// use the same units.
inline constexpr double kGlyphEm = 1000.0;

// The glyphs of one font that were drawn, each with the character it
// first drew (for the ToUnicode map): a table by glyph id, as fonts have
// at most 65,536 glyphs and text looks glyphs up all the time.
class GlyphUse {
public:
    void add(unsigned glyph, char32_t character)
    {
        if (glyph >= characters_.size())
            characters_.resize(glyph + 1, kUnused);
        char32_t& known = characters_[glyph];
        if (known == kUnused) {
            known = character;
            ++count_;
        } else if (known == kUnknown) {
            known = character;
        }
    }

    bool empty() const { return count_ == 0; }

    std::set<unsigned> glyphs() const
    {
        std::set<unsigned> used;
        for (unsigned glyph = 0; glyph < characters_.size(); ++glyph) {
            if (characters_[glyph] != kUnused)
                used.insert(used.end(), glyph);
        }
        return used;
    }

    // The character `glyph` drew; 0 when not known.
    char32_t character(unsigned glyph) const
    {
        if (glyph >= characters_.size() || characters_[glyph] == kUnused || characters_[glyph] == kUnknown)
            return 0;
        return characters_[glyph];
    }

    static constexpr char32_t kUnknown = 0xFFFFFFFE;

private:
    static constexpr char32_t kUnused = 0xFFFFFFFF;
    std::vector<char32_t> characters_;
    size_t count_ = 0;
};

// One font face the document draws with, embedded once whatever its sizes.
struct EmbeddedFont {
    QRawFont raw;
    std::optional<TrueTypeFont> trueType;
    GlyphUse used;
    // A face embedded from its outlines: each glyph gets the next id of
    // the font made from them, in order of first use.
    std::unordered_map<unsigned, unsigned> codes;
    std::vector<unsigned> glyphOfCode;
    QRawFont em;  // at 1000 pixels: advances and outlines in font units
    std::unordered_map<unsigned, double> advances;
    // The PDF widths of the glyphs drawn, by glyph id; NaN where not
    // looked up yet.  Text asks for one per glyph it draws.
    std::vector<double> widths;
    // The face lacks the weight or style asked for: the glyphs are drawn
    // twice, a little apart, and slanted, as Qt draws such a face.  The
    // engine leaves fixed-pitch faces thin; the outlines it gives are
    // slanted already.
    bool emboldened = false;
    double slant = 0;
    QByteArray resourceName;
};

// Where one glyph goes: its font, id, and origin on the baseline (twips).
struct PlacedGlyph {
    int font;
    unsigned glyph;
    double x;
    double y;
};

// A font style as the painter draws it, with what drawing its text needs.
struct StyleFont {
    FontStyle style;
    QFont font;
    QRawFont raw;
    int embedded = -1;
    double underlineOffset = 0;
    double strikeOutOffset = 0;
    double lineThickness = 0;
    bool pictureFont = false;  // its codes are drawn as other characters

    // What place() found of each character up to U+00FF in `raw`: the
    // commonest text is placed from here instead of asking the font again.
    struct KnownGlyph {
        enum State : uint8_t { Unknown, Direct, NeedsLayout };
        State state = Unknown;
        quint32 glyph = 0;
        double advance = 0;
    };
    mutable std::array<KnownGlyph, 0x100> latin{};
};

// Which faces the text of a document uses, and where its glyphs go.
class FontSet {
    static constexpr size_t kMaxStyles = 256;

public:
    explicit FontSet(ObjectWriter& objects);

    const StyleFont& styleFont(const FontStyle& style);

    // The text as `style` draws it.
    static QString drawn(const StyleFont& style, const Text& text);

    // The glyphs of `text` drawn in `style` from (x, baseline); returns the
    // advance of the whole text.
    double place(const StyleFont& style, const QString& text, double x, double baseline,
                 std::vector<PlacedGlyph>& placed);

    // place() for `text` as `style` draws it (drawn()).
    double placeText(const StyleFont& style, const Text& text, double x, double baseline,
                     std::vector<PlacedGlyph>& placed);

    // Writes every font and returns the font entries of the resources.
    QByteArray writeFonts();

    // The code (glyph id in the embedded font program) that draws `glyph`
    // of font `index`.
    unsigned codeOf(int index, unsigned glyph)
    {
        EmbeddedFont& font = *fonts_[size_t(index)];
        return font.trueType ? glyph : outlineCode(font, glyph);
    }

    const EmbeddedFont& font(int index) const { return *fonts_[size_t(index)]; }

    // The advance of `glyph` in thousandths of the em, as the PDF font
    // gives it.
    double width(int index, unsigned glyph)
    {
        const EmbeddedFont& font = *fonts_[size_t(index)];
        if (glyph < font.widths.size() && !std::isnan(font.widths[glyph]))
            return font.widths[glyph];
        return readWidth(index, glyph);
    }

private:
    static unsigned outlineCode(EmbeddedFont& font, unsigned glyph);
    double readWidth(int index, unsigned glyph);

    double placeWithLayout(const StyleFont& style, const QString& text, double x, double baseline,
                           std::vector<PlacedGlyph>& placed);
    // place() for a text whose characters are all up to U+00FF and each a
    // glyph of the style's own font; nothing (and nothing placed) otherwise.
    std::optional<double> placeLatin(const StyleFont& style, TextView text, double x, double baseline,
                                     std::vector<PlacedGlyph>& placed);

    int embeddedFor(const QRawFont& raw);

    // A PDF name from the family and style: letters and digits only.
    static QByteArray baseName(const EmbeddedFont& font);

    // Six capitals naming the subset, different for different glyph sets.
    static QByteArray subsetTag(const std::set<unsigned>& glyphs);

    // Two-byte codes to the characters they drew.
    static QByteArray toUnicodeCMap(const std::vector<std::pair<unsigned, char32_t>>& codes);

    void writeTrueType(EmbeddedFont& font, QByteArray& resources);

    // A face Qt draws from other outlines, or emboldens or slants, becomes a
    // TrueType font made from the outlines Qt gives.
    void writeFromOutlines(EmbeddedFont& font, QByteArray& resources);

    struct CidGlyph {
        unsigned code;
        double width;  // thousandths of the em
        char32_t character;
    };

    // A Type 0 font over a CID font whose codes are the glyph ids of the
    // embedded TrueType program, with its widths and ToUnicode map.
    void writeCidFont(const EmbeddedFont& font, const TrueTypeFacts& facts, const QByteArray& program,
                      const QByteArray& name, const std::vector<CidGlyph>& glyphs, QByteArray& resources);

    static double outlineAdvance(EmbeddedFont& font, unsigned glyph);

    ObjectWriter& objects_;
    QImage device_{1, 1, QImage::Format_ARGB32};
    struct StyleOrder {
        bool operator()(const FontStyle& a, const FontStyle& b) const
        {
            return std::tie(a.name, a.size, a.bold, a.italic, a.underline, a.strikeout) <
                   std::tie(b.name, b.size, b.bold, b.italic, b.underline, b.strikeout);
        }
    };
    std::map<FontStyle, std::unique_ptr<StyleFont>, StyleOrder> styles_;
    StyleFont* last_ = nullptr;
    std::vector<quint32> glyphs_;
    std::vector<QPointF> advances_;
    std::vector<std::unique_ptr<EmbeddedFont>> fonts_;
    QHash<QString, int> byKey_;
};

} // namespace quillet::surface::pdf
