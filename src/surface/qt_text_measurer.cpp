#include "surface/qt_text_measurer.h"

#include "common/stop_request.h"
#include "surface/font_resolver.h"
#include "surface/symbol_fonts.h"
#include "surface/twip_faces.h"

#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace quillet::surface {
namespace {

constexpr double kMeasureDpi = 1440.0;
// 1440 dpi expressed in dots per metre, which is how QImage stores it.
constexpr int kMeasureDotsPerMetre = 56693;
constexpr size_t kMaxCachedFonts = 64;

// Qt adds advances in 26.6 fixed point, which wraps past 2^25 device
// units: at 1440 dpi a line of a few hundred thousand characters would.
// Longer texts are measured in pieces that stay well below that (a
// quarter of it, counting every character as wide as the font's widest),
// and the pieces added in double precision.
constexpr double kSafePieceAdvance = double(1 << 23);

// Texts are measured without kerning or shaping (makeTwipFont), so the
// advance of a text is the sum of its characters' advances, each a whole
// number of 64ths of a unit that a double adds exactly.  For the
// characters below that holds without exception, and their advances are
// kept per font instead of laying out every text anew: layout measures
// every word and line of a document, most of them several times.
// Controls, the soft hyphen (drawn only at a break) and everything beyond
// Latin-1 (combining marks, other scripts, surrogates) go through Qt.
constexpr char16_t kLastTabledCharacter = 0xFF;

bool isTabled(char16_t c)
{
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= kLastTabledCharacter && c != 0xAD);
}

// How far into a text the measurer looks for other characters to read
// from the face along with the first one it does not know.
constexpr size_t kReadAheadCharacters = 256;

// Characters between polls of the stop request on the table's path.
constexpr size_t kPollStride = 1 << 16;

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

struct QtTextMeasurer::Cache {
    struct Font {
        FontStyle style;
        QFont font; // for the measuring device
        LineMetrics line;
        bool picture = false;  // a picture font: texts change before they are measured
        // Advances of the tabled characters, NaN until first measured.
        std::array<double, kLastTabledCharacter + 1> advances;

        // The line metrics and the tabled characters' advances are read
        // from the font's face (twip_faces.h), which spares Qt making an
        // engine for this size; what the face lacks is measured by Qt,
        // with its fallback fonts.  The face is made again whenever it is
        // needed (a clone of an engine Qt keeps), never kept: it belongs to
        // the thread that made it, and the measurer may move between
        // threads.
        Font(const FontStyle& s, QFont f)
            : style(s), font(std::move(f)), picture(symbolFontNamed(s.name) != SymbolFont::None)
        {
            advances.fill(std::nan(""));
            const QRawFont face = this->face();
            if (face.isValid())
                line = {face.ascent(), face.descent(), face.leading()};
            else
                line = {metrics().ascent(), metrics().descent(), metrics().leading()};
        }

        // Qt's measuring of `font`: made the first time a text needs it.
        const QFontMetricsF& metrics()
        {
            if (!fullMetrics)
                fullMetrics.emplace(font); // the font carries the device's resolution
            return *fullMetrics;
        }

        double measureAtOnce(TextView text) { return metrics().horizontalAdvance(drawnText(style, text)); }

        // The advance of the tabled character at the start of `text`.  The
        // first one not known yet has the face read for it and for the
        // other new characters of the text, all at once.
        double advanceOf(TextView text)
        {
            const char16_t c = text.front();
            double& a = advances[c];
            if (std::isnan(a)) {
                readAdvances(text);
                if (std::isnan(a)) // not in the face: Qt draws it from a fallback font
                    a = measureAtOnce(TextView(&c, 1));
            }
            return a;
        }

    private:
        QRawFont face() const { return twipFace(font, kMeasureDpi); }

        void readAdvances(TextView text)
        {
            std::array<bool, kLastTabledCharacter + 1> wanted{};
            std::vector<QChar> chars;
            for (const char16_t c : text.substr(0, kReadAheadCharacters)) {
                if (isTabled(c) && std::isnan(advances[c]) && !wanted[c]) {
                    wanted[c] = true;
                    chars.push_back(QChar(c));
                }
            }
            const QRawFont face = this->face();
            std::vector<quint32> glyphs(chars.size());
            int count = int(chars.size());
            if (!face.isValid() || !face.glyphIndexesForChars(chars.data(), count, glyphs.data(), &count) ||
                count != int(chars.size()))
                return;
            std::vector<QPointF> found(glyphs.size());
            if (!face.advancesForGlyphIndexes(glyphs.data(), found.data(), count, QRawFont::SeparateAdvances))
                return;
            for (size_t i = 0; i < chars.size(); ++i) {
                if (glyphs[i] != 0)
                    advances[chars[i].unicode()] = found[i].x();
            }
        }

        std::optional<QFontMetricsF> fullMetrics;
    };

    QImage device{1, 1, QImage::Format_ARGB32};
    // Few fonts are used per document: a short list beats hashing FontStyle,
    // and most calls ask for the font of the call before.
    std::vector<std::unique_ptr<Font>> fonts;
    Font* last = nullptr;

    Cache()
    {
        device.setDotsPerMeterX(kMeasureDotsPerMetre);
        device.setDotsPerMeterY(kMeasureDotsPerMetre);
    }

    Font& fontFor(const FontStyle& style)
    {
        if (last && last->style == style)
            return *last;
        for (const auto& entry : fonts) {
            if (entry->style == style)
                return *(last = entry.get());
        }
        // A script stepping through sizes or names makes a new font each
        // time: the oldest goes, so the list stays short and quick.
        if (fonts.size() >= kMaxCachedFonts)
            fonts.erase(fonts.begin());
        fonts.push_back(std::make_unique<Font>(style, QFont(makeTwipFont(style, kMeasureDpi), &device)));
        return *(last = fonts.back().get());
    }
};

QtTextMeasurer::QtTextMeasurer() : cache_(std::make_unique<Cache>()) {}
QtTextMeasurer::~QtTextMeasurer() = default;

double QtTextMeasurer::advance(const FontStyle& font, TextView text) const
{
    bool sumOfCharacters = false;
    return advanceOfCharacters(font, text, sumOfCharacters);
}

double QtTextMeasurer::advanceOfCharacters(const FontStyle& font, TextView text, bool& sumOfCharacters) const
{
    // Whole 64ths of a unit add up exactly, in any grouping.
    sumOfCharacters = true;
    if (text.empty())
        return 0;
    Cache::Font& entry = cache_->fontFor(font);
    if (!entry.picture) {
        // The sum of the tabled advances, unless a character is not tabled:
        // then the whole text is measured at once below.
        double total = 0;
        size_t i = 0;
        const char16_t* const chars = text.data();
        for (; i < text.size() && isTabled(chars[i]); ++i) {
            if (i % kPollStride == kPollStride - 1)
                pollStop();
            const double known = entry.advances[chars[i]];
            total += std::isnan(known) ? entry.advanceOf(text.substr(i)) : known;
        }
        if (i == text.size())
            return total;
    }
    sumOfCharacters = false;
    const double widest = std::max(entry.metrics().maxWidth(), 1.0);
    const size_t piece = std::max<size_t>(2, static_cast<size_t>(kSafePieceAdvance / widest));
    if (text.size() <= piece)
        return entry.measureAtOnce(text);
    double total = 0;
    for (size_t start = 0; start < text.size();) {
        pollStop();
        size_t end = std::min(text.size(), start + piece);
        if (end < text.size() && isLowSurrogate(text[end]))
            --end; // a surrogate pair stays whole
        total += entry.measureAtOnce(text.substr(start, end - start));
        start = end;
    }
    return total;
}

LineMetrics QtTextMeasurer::metrics(const FontStyle& font) const
{
    return cache_->fontFor(font).line;
}

std::optional<Text> QtTextMeasurer::fallbackFor(const Text& fontName) const
{
    if (auto family = fontFallbackFor(fontName))
        return family->toStdU16String();
    return std::nullopt;
}

std::shared_ptr<const TextMeasurer> qtTextMeasurer()
{
    return std::make_shared<QtTextMeasurer>();
}

} // namespace quillet::surface
