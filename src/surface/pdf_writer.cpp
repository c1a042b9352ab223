#include "surface/pdf_writer.h"

#include "common/stop_request.h"
#include "surface/font_resolver.h"
#include "surface/font_subset.h"
#include "surface/pdf_export.h"
#include "surface/symbol_fonts.h"

#include <QDateTime>
#include <QHash>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace quillet::surface {
namespace {

// Text is shaped on a device of 1440 dpi, as layout measures it: one pixel
// of the font is one twip.
constexpr int kTwipDpi = 1440;
constexpr int kTwipDotsPerMetre = 56693;
// PDF font widths are in thousandths of the em; fonts made from outlines
// use the same units.
constexpr double kGlyphEm = 1000.0;

// ---- output helpers ------------------------------------------------------

// A number as the file holds it: three decimals, within what every PDF
// reader takes.
double asWritten(double value)
{
    if (!std::isfinite(value))
        return 0;
    return std::round(std::clamp(value, -1e9, 1e9) * 1000.0) / 1000.0;
}

void appendNumber(QByteArray& out, double value)
{
    const double rounded = asWritten(value);
    char buffer[48];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 3);
    if (ec != std::errc()) {
        out.append('0');
        return;
    }
    char* last = end;
    while (last > buffer && last[-1] == '0')
        --last;
    if (last > buffer && last[-1] == '.')
        --last;
    if (last == buffer + 2 && buffer[0] == '-' && buffer[1] == '0')
        out.append('0');  // "-0"
    else
        out.append(buffer, last - buffer);
}

void appendInt(QByteArray& out, long long value)
{
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end - buffer);
}

QByteArray& operator<<(QByteArray& out, const char* text)
{
    return out.append(text);
}

QByteArray& operator<<(QByteArray& out, const QByteArray& text)
{
    return out.append(text);
}

QByteArray& operator<<(QByteArray& out, double value)
{
    appendNumber(out, value);
    out.append(' ');
    return out;
}

QByteArray& operator<<(QByteArray& out, int value)
{
    appendInt(out, value);
    out.append(' ');
    return out;
}

void appendHex(QByteArray& out, unsigned value, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.append(kDigits[(value >> shift) & 0xF]);
}

QByteArray ref(int id)
{
    QByteArray out;
    appendInt(out, id);
    out.append(" 0 R");
    return out;
}

// A text string of the document information: UTF-16 with its byte-order
// mark, written in hex so that no character needs escaping.
QByteArray textString(const QString& text)
{
    QByteArray out("<FEFF");
    for (QChar c : text)
        appendHex(out, c.unicode(), 4);
    out.append('>');
    return out;
}

// Page contents are the bulk of a file and are deflated for speed; fonts,
// pictures and maps, written once, for size.
constexpr int kFastDeflate = 1;
constexpr int kSmallDeflate = 6;

// A deflated stream body: qCompress gives a zlib stream behind a 4-byte
// length of its own.
QByteArray deflate(const QByteArray& data, int level)
{
    return qCompress(data, level).mid(4);
}

// A write to the file failed (the disk is full, or the stop request came):
// the writing ends.
struct WriteFailed {};

// The objects of the file, numbered from 1, and where each starts.  What
// is written goes to the device in pieces, so that a long document is not
// held whole in memory.
class ObjectWriter {
public:
    explicit ObjectWriter(QIODevice& device) : device_(device)
    {
        out_.reserve(kPiece * 2);
        out_.append("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    }

    int reserve()
    {
        offsets_.push_back(-1);
        return int(offsets_.size());
    }

    void object(int id, const QByteArray& body)
    {
        start(id);
        out_.append(body);
        out_.append("\nendobj\n");
        flushFull();
    }

    void stream(int id, QByteArray dictionary, const QByteArray& data, int level = kSmallDeflate)
    {
        const QByteArray body = data.isEmpty() ? data : deflate(data, level);
        start(id);
        out_.append("<<");
        out_.append(dictionary);
        if (!body.isEmpty())
            out_.append("/Filter/FlateDecode");
        out_.append("/Length ");
        appendInt(out_, body.size());
        out_.append(">>\nstream\n");
        out_.append(body);
        out_.append("\nendstream\nendobj\n");
        flushFull();
    }

    void finish(int catalog, int info)
    {
        const qsizetype xref = written_ + out_.size();
        out_.append("xref\n0 ");
        appendInt(out_, qsizetype(offsets_.size()) + 1);
        out_.append("\n0000000000 65535 f \n");
        char line[32];
        for (qsizetype offset : offsets_) {
            std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(std::max<qsizetype>(offset, 0)));
            out_.append(line, 20);
        }
        out_.append("trailer\n<</Size ");
        appendInt(out_, qsizetype(offsets_.size()) + 1);
        out_.append("/Root ");
        out_.append(ref(catalog));
        out_.append("/Info ");
        out_.append(ref(info));
        out_.append(">>\nstartxref\n");
        appendInt(out_, xref);
        out_.append("\n%%EOF\n");
        flush();
    }

private:
    static constexpr qsizetype kPiece = 1 << 18;

    void start(int id)
    {
        offsets_[size_t(id - 1)] = written_ + out_.size();
        appendInt(out_, id);
        out_.append(" 0 obj\n");
    }

    void flushFull()
    {
        if (out_.size() >= kPiece)
            flush();
    }

    void flush()
    {
        if (device_.write(out_) != out_.size())
            throw WriteFailed();
        written_ += out_.size();
        out_.clear();
    }

    QIODevice& device_;
    QByteArray out_;
    qsizetype written_ = 0;
    std::vector<qsizetype> offsets_;
};

// ---- fonts ---------------------------------------------------------------

// Whether `c` is drawn as its own glyph, one after another from left to
// right: letters, digits, punctuation and symbols of the scripts written
// that way without joining or marks.  Anything else (controls, invisible
// format characters, combining marks, right-to-left and shaped scripts)
// goes through Qt's text layout, as the painter draws it.
bool drawnAsItIs(char16_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
        return false;
    if (c < 0x0300)
        return true;
    if (c < 0x0370)
        return false;  // combining marks
    if (c < 0x0483)
        return true;  // Greek, Cyrillic
    if (c < 0x048A)
        return false;
    if (c < 0x0590)
        return true;  // Cyrillic, Armenian
    if (c >= 0x1E00 && c < 0x2000)
        return true;  // Latin and Greek extended
    if (c >= 0x2000 && c < 0x2C00)
        return !(c >= 0x200B && c <= 0x200F) && !(c >= 0x2028 && c <= 0x202E) && !(c >= 0x2060 && c <= 0x206F);
    return false;
}

QString fontKey(const QRawFont& raw)
{
    return raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
           QString::number(raw.weight()) + QLatin1Char('|') + QString::number(int(raw.style()));
}

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
};

// The style of the face itself, from its tables: OS/2's selection flags
// where the font has them, otherwise head's style bits.
struct FaceStyle {
    bool bold = false;
    bool italic = false;
    bool fixedPitch = false;
};

FaceStyle faceStyleOf(const QRawFont& raw)
{
    FaceStyle face;
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    const QByteArray post = raw.fontTable("post");
    auto byte = [](const QByteArray& table, qsizetype at) { return at < table.size() ? quint8(table[at]) : 0; };
    if (os2.size() >= 64) {
        const unsigned selection = (unsigned(byte(os2, 62)) << 8) | byte(os2, 63);
        face.italic = selection & 0x01;
        face.bold = selection & 0x20;
    } else {
        const unsigned macStyle = byte(head, 45);
        face.bold = macStyle & 0x01;
        face.italic = macStyle & 0x02;
    }
    face.fixedPitch = post.size() >= 16 && (byte(post, 12) | byte(post, 13) | byte(post, 14) | byte(post, 15)) != 0;
    return face;
}

// Qt's slant for a face drawn italic that has no italic of its own.
constexpr double kSyntheticSlant = 0.3;

class FontSet {
    static constexpr size_t kMaxStyles = 256;

public:
    explicit FontSet(ObjectWriter& objects) : objects_(objects)
    {
        device_.setDotsPerMeterX(kTwipDotsPerMetre);
        device_.setDotsPerMeterY(kTwipDotsPerMetre);
    }

    const StyleFont& styleFont(const FontStyle& style)
    {
        if (last_ && last_->style == style)
            return *last_;
        auto known = styles_.find(style);
        if (known != styles_.end()) {
            last_ = known->second.get();
            return *last_;
        }
        // A script stepping through sizes makes a style per size: the set
        // starts again rather than grow without end (the faces stay).
        if (styles_.size() >= kMaxStyles)
            styles_.clear();
        auto entry = std::make_unique<StyleFont>();
        entry->style = style;
        entry->font = QFont(makeTwipFont(style, kTwipDpi), &device_);
        entry->raw = QRawFont::fromFont(entry->font);
        // At 1440 dpi the pixel size is the point size times 20.
        entry->raw.setPixelSize(entry->font.pointSizeF() * kTwipDpi / 72.0);
        entry->embedded = entry->raw.isValid() ? embeddedFor(entry->raw) : -1;
        // Underline and strike-out lines as QPainter places them.
        const QFontMetricsF metrics(entry->font, &device_);
        const double underline = metrics.underlinePos();
        double offset = std::ceil(underline) + 0.5;
        if (underline <= metrics.descent())
            offset = std::min(offset, metrics.descent() - 0.5);
        entry->underlineOffset = offset;
        entry->strikeOutOffset = -metrics.ascent() / 3.0;
        entry->lineThickness = metrics.lineWidth();
        entry->pictureFont = symbolFontNamed(style.name) != SymbolFont::None;

        last_ = entry.get();
        styles_.emplace(style, std::move(entry));
        return *last_;
    }

    // The text as `style` draws it.
    static QString drawn(const StyleFont& style, const Text& text)
    {
        if (style.pictureFont)
            return drawnText(style.style, text);
        return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
    }

    // The glyphs of `text` drawn in `style` from (x, baseline); returns the
    // advance of the whole text.
    double place(const StyleFont& style, const QString& text, double x, double baseline,
                 std::vector<PlacedGlyph>& placed)
    {
        placed.clear();
        if (text.isEmpty())
            return 0;
        if (style.embedded >= 0) {
            // Most text is in the font's own characters, one glyph each:
            // looked up directly, without a text layout.
            const int length = int(std::min<qsizetype>(text.size(), INT_MAX / 2));
            glyphs_.resize(size_t(length));
            advances_.resize(size_t(length));
            int count = length;
            const bool direct = length == text.size() &&
                                std::all_of(text.begin(), text.end(), [](QChar c) { return drawnAsItIs(c.unicode()); }) &&
                                style.raw.glyphIndexesForChars(text.constData(), length, glyphs_.data(), &count) &&
                                count == length && std::find(glyphs_.begin(), glyphs_.end(), 0u) == glyphs_.end();
            if (direct) {
                const std::vector<quint32>& glyphs = glyphs_;
                // The advances the painter adds up (in 1/64 pixel), which
                // are also the ones layout measured.
                style.raw.advancesForGlyphIndexes(glyphs_.data(), advances_.data(), count,
                                                  QRawFont::SeparateAdvances);
                const std::vector<QPointF>& advances = advances_;
                EmbeddedFont& font = *fonts_[size_t(style.embedded)];
                double at = x;
                for (int i = 0; i < count; ++i) {
                    placed.push_back({style.embedded, glyphs[i], at, baseline});
                    font.used.add(glyphs[i], text[i].unicode());
                    at += advances[i].x();
                }
                return at - x;
            }
        }
        return placeWithLayout(style, text, x, baseline, placed);
    }

    // Writes every font and returns the font entries of the resources.
    QByteArray writeFonts()
    {
        QByteArray resources;
        for (auto& font : fonts_) {
            if (font->used.empty())
                continue;
            if (font->trueType)
                writeTrueType(*font, resources);
            else
                writeFromOutlines(*font, resources);
        }
        return resources;
    }

    // The code (glyph id in the embedded font program) that draws `glyph`
    // of font `index`.
    unsigned codeOf(int index, unsigned glyph)
    {
        EmbeddedFont& font = *fonts_[size_t(index)];
        if (font.trueType)
            return glyph;
        auto [it, added] = font.codes.try_emplace(glyph, unsigned(font.glyphOfCode.size()) + 1);
        if (added)
            font.glyphOfCode.push_back(glyph);
        return it->second;
    }

    const EmbeddedFont& font(int index) const { return *fonts_[size_t(index)]; }

    // The advance of `glyph` in thousandths of the em, as the PDF font
    // gives it.
    double width(int index, unsigned glyph)
    {
        EmbeddedFont& font = *fonts_[size_t(index)];
        if (font.trueType)
            return font.trueType->advance(glyph) * kGlyphEm / font.trueType->facts().unitsPerEm;
        return outlineAdvance(font, glyph);
    }

private:
    double placeWithLayout(const StyleFont& style, const QString& text, double x, double baseline,
                           std::vector<PlacedGlyph>& placed)
    {
        // Characters the font lacks come from the fallback fonts Qt picks,
        // as when the painter draws them.
        QTextLayout layout(text, style.font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return 0;
        line.setPosition(QPointF(0, 0));
        const QList<uint> characters = text.toUcs4();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            // Characters no installed font has: nothing is drawn for them.
            if (!raw.isValid())
                continue;
            const int index = embeddedFor(raw);
            EmbeddedFont& font = *fonts_[size_t(index)];
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const std::set<unsigned> drawn(glyphs.begin(), glyphs.end());
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
                placed.push_back({index, glyphs[i], x + positions[i].x(), baseline + positions[i].y() - line.ascent()});
            for (uint c : characters) {
                // Invisible characters draw nothing a reader would copy.
                if (QChar::category(c) == QChar::Other_Format || !raw.supportsCharacter(c))
                    continue;
                const char32_t character = c;
                const QList<quint32> own = raw.glyphIndexesForString(QString::fromUcs4(&character, 1));
                if (!own.isEmpty() && drawn.count(own[0]))
                    font.used.add(own[0], character);
            }
            for (quint32 glyph : glyphs)
                font.used.add(glyph, GlyphUse::kUnknown);
        }
        std::stable_sort(placed.begin(), placed.end(),
                         [](const PlacedGlyph& a, const PlacedGlyph& b) { return a.x < b.x; });
        return line.horizontalAdvance();
    }

    int embeddedFor(const QRawFont& raw)
    {
        const QString key = fontKey(raw);
        auto it = byKey_.constFind(key);
        if (it != byKey_.constEnd())
            return *it;
        auto font = std::make_unique<EmbeddedFont>();
        font->raw = raw;
        font->trueType = TrueTypeFont::read([&raw](const char* tag) { return raw.fontTable(tag); });
        if (!font->trueType) {
            font->em = raw;
            font->em.setPixelSize(kGlyphEm);
        }
        const FaceStyle face = faceStyleOf(raw);
        font->emboldened = raw.weight() >= QFont::Bold && !face.bold && !face.fixedPitch;
        if (raw.style() != QFont::StyleNormal && !face.italic && font->trueType)
            font->slant = kSyntheticSlant;
        font->resourceName = "F" + QByteArray::number(qsizetype(fonts_.size()));
        const int index = int(fonts_.size());
        fonts_.push_back(std::move(font));
        byKey_.insert(key, index);
        return index;
    }

    // A PDF name from the family and style: letters and digits only.
    static QByteArray baseName(const EmbeddedFont& font)
    {
        QByteArray name;
        const QString full = font.raw.familyName() + QLatin1Char('-') + font.raw.styleName();
        for (QChar c : full) {
            if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-')
                name.append(char(c.unicode()));
        }
        return name.isEmpty() ? QByteArray("Font") : name;
    }

    // Six capitals naming the subset, different for different glyph sets.
    static QByteArray subsetTag(const std::set<unsigned>& glyphs)
    {
        quint32 hash = 2166136261u;
        for (unsigned glyph : glyphs)
            hash = (hash ^ glyph) * 16777619u;
        QByteArray tag;
        for (int i = 0; i < 6; ++i) {
            tag.append(char('A' + hash % 26));
            hash /= 26;
        }
        return tag;
    }

    // Two-byte codes to the characters they drew.
    static QByteArray toUnicodeCMap(const std::vector<std::pair<unsigned, char32_t>>& codes)
    {
        QByteArray cmap = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                          "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n";
        cmap.append("<0000><FFFF>\n");
        cmap.append("endcodespacerange\n");
        for (size_t start = 0; start < codes.size(); start += 100) {
            const size_t end = std::min(codes.size(), start + 100);
            appendInt(cmap, qsizetype(end - start));
            cmap.append(" beginbfchar\n");
            for (size_t i = start; i < end; ++i) {
                cmap.append('<');
                appendHex(cmap, codes[i].first, 4);
                cmap.append("><");
                const char32_t c = codes[i].second;
                if (c > 0xFFFF) {
                    appendHex(cmap, 0xD800 + ((c - 0x10000) >> 10), 4);
                    appendHex(cmap, 0xDC00 + ((c - 0x10000) & 0x3FF), 4);
                } else {
                    appendHex(cmap, c, 4);
                }
                cmap.append(">\n");
            }
            cmap.append("endbfchar\n");
        }
        cmap.append("endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n");
        return cmap;
    }

    void writeTrueType(EmbeddedFont& font, QByteArray& resources)
    {
        const TrueTypeFont& tt = *font.trueType;
        const std::set<unsigned> glyphs = font.used.glyphs();
        std::vector<CidGlyph> cids;
        const double scale = kGlyphEm / tt.facts().unitsPerEm;
        for (unsigned glyph : glyphs)
            cids.push_back({glyph, tt.advance(glyph) * scale, font.used.character(glyph)});
        writeCidFont(font, tt.facts(), tt.subset(glyphs), subsetTag(glyphs) + '+' + baseName(font), cids, resources);
    }

    // A face Qt draws from other outlines, or emboldens or slants, becomes a
    // TrueType font made from the outlines Qt gives.
    void writeFromOutlines(EmbeddedFont& font, QByteArray& resources)
    {
        std::vector<OutlineGlyph> outlines;
        std::vector<CidGlyph> cids;
        std::set<unsigned> glyphs;
        for (size_t i = 0; i < font.glyphOfCode.size(); ++i) {
            const unsigned glyph = font.glyphOfCode[i];
            const double advance = outlineAdvance(font, glyph);
            outlines.push_back({font.em.pathForGlyph(glyph), advance});
            cids.push_back({unsigned(i + 1), advance, font.used.character(glyph)});
            glyphs.insert(glyph);
        }
        TrueTypeFacts facts;
        facts.unitsPerEm = int(kGlyphEm);
        facts.ascent = int(std::lround(font.em.ascent()));
        facts.descent = -int(std::lround(font.em.descent()));
        facts.capHeight = int(std::lround(font.em.capHeight()));
        QRectF box;
        for (const OutlineGlyph& outline : outlines)
            box = box.united(outline.path.boundingRect());
        facts.xMin = int(std::floor(box.left()));
        facts.xMax = int(std::ceil(box.right()));
        facts.yMin = int(std::floor(-box.bottom()));
        facts.yMax = int(std::ceil(-box.top()));
        const QByteArray program = trueTypeFromOutlines(outlines, facts.unitsPerEm, facts.ascent, facts.descent);
        writeCidFont(font, facts, program, subsetTag(glyphs) + '+' + baseName(font), cids, resources);
    }

    struct CidGlyph {
        unsigned code;
        double width;  // thousandths of the em
        char32_t character;
    };

    // A Type 0 font over a CID font whose codes are the glyph ids of the
    // embedded TrueType program, with its widths and ToUnicode map.
    void writeCidFont(const EmbeddedFont& font, const TrueTypeFacts& facts, const QByteArray& program,
                      const QByteArray& name, const std::vector<CidGlyph>& glyphs, QByteArray& resources)
    {
        const double scale = kGlyphEm / facts.unitsPerEm;
        const int type0 = objects_.reserve(), cidFont = objects_.reserve(), descriptor = objects_.reserve(),
                  programId = objects_.reserve(), toUnicode = objects_.reserve();
        QByteArray programDict = "/Length1 ";
        appendInt(programDict, program.size());
        objects_.stream(programId, programDict, program);

        int flags = 4;  // symbolic: glyphs are addressed by id
        if (facts.fixedPitch)
            flags |= 1;
        if (facts.italicAngle != 0 || font.raw.style() != QFont::StyleNormal)
            flags |= 64;
        QByteArray d = "<</Type/FontDescriptor/FontName/" + name + "/Flags ";
        d << flags << "/FontBBox[" << facts.xMin * scale << facts.yMin * scale << facts.xMax * scale
          << facts.yMax * scale << "]/ItalicAngle " << facts.italicAngle << "/Ascent " << facts.ascent * scale
          << "/Descent " << facts.descent * scale << "/CapHeight " << facts.capHeight * scale
          << "/StemV 80/FontFile2 " << ref(programId) << ">>";
        objects_.object(descriptor, d);

        // Widths in runs of consecutive codes: c [w1 w2 ...].
        QByteArray widths = "[";
        std::vector<std::pair<unsigned, char32_t>> characters;
        unsigned previous = 0;
        bool open = false;
        for (const CidGlyph& glyph : glyphs) {
            if (glyph.character)
                characters.emplace_back(glyph.code, glyph.character);
            if (!open || glyph.code != previous + 1) {
                if (open)
                    widths.append("]");
                appendInt(widths, glyph.code);
                widths.append("[");
                open = true;
            } else {
                widths.append(' ');
            }
            appendNumber(widths, glyph.width);
            previous = glyph.code;
        }
        if (open)
            widths.append("]");
        widths.append("]");
        QByteArray c = "<</Type/Font/Subtype/CIDFontType2/BaseFont/" + name +
                       "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor " +
                       ref(descriptor) + "/CIDToGIDMap/Identity/DW 0/W" + widths + ">>";
        objects_.object(cidFont, c);
        objects_.stream(toUnicode, QByteArray(), toUnicodeCMap(characters));
        objects_.object(type0, "<</Type/Font/Subtype/Type0/BaseFont/" + name + "/Encoding/Identity-H/DescendantFonts[" +
                                   ref(cidFont) + "]/ToUnicode " + ref(toUnicode) + ">>");
        resources.append('/' + font.resourceName + ' ' + ref(type0));
    }

    static double outlineAdvance(EmbeddedFont& font, unsigned glyph)
    {
        auto known = font.advances.find(glyph);
        if (known != font.advances.end())
            return known->second;
        const QList<QPointF> advances =
            font.em.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics);
        const double advance = advances.isEmpty() ? 0 : advances[0].x();
        font.advances.emplace(glyph, advance);
        return advance;
    }

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

// ---- pictures ------------------------------------------------------------

class ImageSet {
public:
    explicit ImageSet(ObjectWriter& objects) : objects_(objects) {}

    // The resource name of `image`, written on first use.
    QByteArray nameOf(const QImage& image)
    {
        auto it = names_.find(image.cacheKey());
        if (it != names_.end())
            return it->second;
        QByteArray name = "I" + QByteArray::number(qsizetype(names_.size()));
        const int id = write(image);
        resources_.append('/' + name + ' ' + ref(id));
        names_.emplace(image.cacheKey(), name);
        return name;
    }

    const QByteArray& resources() const { return resources_; }

private:
    int write(const QImage& source)
    {
        const bool alpha = source.hasAlphaChannel();
        const bool gray = !alpha && source.allGray();
        const QImage image = source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const int w = image.width(), h = image.height();
        const int channels = gray ? 1 : 3;
        QByteArray pixels(qsizetype(w) * h * channels, Qt::Uninitialized);
        QByteArray mask(alpha ? qsizetype(w) * h : 0, Qt::Uninitialized);
        char* colour = pixels.data();
        char* cover = mask.data();
        bool opaque = true;
        for (int y = 0; y < h; ++y) {
            pollStop();
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb p = line[x];
                *colour++ = char(qRed(p));
                if (!gray) {
                    *colour++ = char(qGreen(p));
                    *colour++ = char(qBlue(p));
                }
                if (alpha) {
                    *cover++ = char(qAlpha(p));
                    opaque = opaque && qAlpha(p) == 255;
                }
            }
        }
        QByteArray dictionary = "/Type/XObject/Subtype/Image/Width ";
        dictionary << w << "/Height " << h << "/BitsPerComponent 8/ColorSpace";
        dictionary.append(gray ? "/DeviceGray" : "/DeviceRGB");
        if (alpha && !opaque) {
            const int maskId = objects_.reserve();
            QByteArray maskDictionary = "/Type/XObject/Subtype/Image/Width ";
            maskDictionary << w << "/Height " << h << "/BitsPerComponent 8/ColorSpace/DeviceGray";
            objects_.stream(maskId, maskDictionary, mask);
            dictionary.append("/SMask " + ref(maskId));
        }
        const int id = objects_.reserve();
        objects_.stream(id, dictionary, pixels);
        return id;
    }

    ObjectWriter& objects_;
    std::unordered_map<qint64, QByteArray> names_;
    QByteArray resources_;
};

// ---- pages ---------------------------------------------------------------

void appendRect(QByteArray& out, const TwipRect& r)
{
    out << r.left << r.top << r.width() << r.height() << "re ";
}

// One page's content stream, in twips from the top-left corner (the page
// transform flips the axis once).  Colours, pen width and font are written
// only when they change.
class PageContent {
public:
    PageContent(FontSet& fonts, ImageSet& images) : fonts_(fonts), images_(images) {}

    QByteArray take(const Page& page, double heightPoints)
    {
        out_.clear();
        state_ = State();
        out_ << "0.05 0 0 -0.05 0 " << heightPoints << "cm 0 J 0 j\n";
        for (const DrawOp& op : page.ops) {
            pollStop();
            std::visit(*this, op);
        }
        endText();
        return std::move(out_);
    }

    void operator()(const TextOp& op)
    {
        const StyleFont& style = fonts_.styleFont(op.font);
        const double advance = fonts_.place(style, FontSet::drawn(style, op.text), op.x, op.baseline, glyphs_);
        const bool decorated = op.font.underline || op.font.strikeout;
        if (glyphs_.empty() && !decorated)
            return;
        // A clip lasts until the state saved before it is restored.
        const State outside = state_;
        if (op.clip) {
            endText();
            out_.append("q ");
            appendRect(out_, *op.clip);
            out_.append("W n\n");
        }
        colour(op.colour, state_.fill, "rg");
        writeGlyphs(style);
        if (decorated) {
            endText();
            colour(op.colour, state_.stroke, "RG");
            width(style.lineThickness);
            const double x1 = std::floor(op.x), x2 = std::floor(op.x + advance);
            if (op.font.underline)
                line(x1, op.baseline + style.underlineOffset, x2, op.baseline + style.underlineOffset);
            if (op.font.strikeout)
                line(x1, op.baseline + style.strikeOutOffset, x2, op.baseline + style.strikeOutOffset);
        }
        if (op.clip) {
            endText();
            out_.append("Q\n");
            state_ = outside;
        }
    }

    void operator()(const LineOp& op)
    {
        endText();
        colour(op.colour, state_.stroke, "RG");
        width(penWidth(op.width));
        line(op.x1, op.y1, op.x2, op.y2);
    }

    void operator()(const RectOp& op)
    {
        endText();
        if (op.fill) {
            colour(*op.fill, state_.fill, "rg");
            appendRect(out_, op.rect);
            out_.append("f\n");
        }
        if (op.outline) {
            colour(*op.outline, state_.stroke, "RG");
            width(penWidth(op.penWidth));
            appendRect(out_, op.rect);
            out_.append("S\n");
        }
    }

    void operator()(const PictureOp& op)
    {
        if (op.image.isNull() || op.rect.width() == 0 || op.rect.height() == 0)
            return;
        const QByteArray name = images_.nameOf(op.image);
        endText();
        out_ << "q " << op.rect.width() << "0 0 " << -op.rect.height() << op.rect.left << op.rect.bottom
             << "cm /" << name << " Do Q\n";
    }

private:
    struct State {
        std::optional<Rgb> fill;
        std::optional<Rgb> stroke;
        std::optional<double> lineWidth;
        int font = -1;  // FontSet's index
        double fontSize = -1;
    };

    // Width 0 is a hairline (PDF's thinnest line); any other width is never
    // thinner than the one-twip device pixel the painter keeps on PDF.
    static double penWidth(double width) { return width <= 0 ? 0.0 : std::max(width, 1.0); }

    void colour(Rgb rgb, std::optional<Rgb>& current, const char* op)
    {
        if (current == rgb)
            return;
        current = rgb;
        out_ << (rgb & 0xFF) / 255.0 << ((rgb >> 8) & 0xFF) / 255.0 << ((rgb >> 16) & 0xFF) / 255.0 << op << "\n";
    }

    void width(double w)
    {
        if (state_.lineWidth == w)
            return;
        state_.lineWidth = w;
        out_ << w << "w\n";
    }

    void line(double x1, double y1, double x2, double y2)
    {
        out_ << x1 << y1 << "m " << x2 << y2 << "l S\n";
    }

    void writeGlyphs(const StyleFont& style)
    {
        const double size = style.raw.pixelSize();
        if (glyphs_.empty() || size <= 0)
            return;
        beginText();
        writeRuns(size, 0, false);
        // The second pass of an emboldened face, hidden from text
        // extraction so that the words read once.
        const bool emboldened = std::any_of(glyphs_.begin(), glyphs_.end(),
                                            [&](const PlacedGlyph& g) { return fonts_.font(g.font).emboldened; });
        if (emboldened) {
            out_.append("/Span<</ActualText()>>BDC\n");
            writeRuns(size, -0.5 * style.lineThickness, true);
            out_.append("EMC\n");
        }
    }

    // Text of consecutive text operations shares one text object; anything
    // else ends it.
    void beginText()
    {
        if (inText_)
            return;
        out_.append("BT\n");
        inText_ = true;
        lineSet_ = false;
    }

    void endText()
    {
        if (!inText_)
            return;
        out_.append("ET\n");
        inText_ = false;
    }

    // Starts a line of text at (x, y): relative to the last one where
    // that is shorter and both are upright.  The line's place is kept as
    // the reader computes it from the written numbers, so that rounding
    // does not add up along a page.
    void moveTo(double x, double y, double slant)
    {
        if (lineSet_ && slant == 0 && lineSlant_ == 0) {
            const double dx = asWritten(x - lineX_), dy = asWritten(lineY_ - y);
            out_ << dx << dy << "Td ";
            lineX_ += dx;
            lineY_ -= dy;
        } else {
            out_ << "1 0 " << slant << "-1 " << x << y << "Tm ";
            lineX_ = asWritten(x);
            lineY_ = asWritten(y);
        }
        lineSet_ = true;
        lineSlant_ = slant;
    }

    // A glyph id as the two bytes of a literal string.
    void appendCode(unsigned code)
    {
        for (const unsigned byte : {(code >> 8) & 0xFF, code & 0xFF}) {
            if (byte == '(' || byte == ')' || byte == '\\') {
                out_.append('\\');
                out_.append(char(byte));
            } else if (byte == '\r') {
                out_.append("\\r");
            } else if (byte == '\n') {
                out_.append("\\n");
            } else {
                out_.append(char(byte));
            }
        }
    }

    // The glyphs in runs of one PDF font: each run is placed once, and a
    // glyph that the font's advances would put elsewhere gets a TJ
    // adjustment.
    void writeRuns(double size, double shift, bool onlyEmboldened)
    {
        int current = -1;
        double penX = 0, y = 0;
        bool open = false;
        for (const PlacedGlyph& g : glyphs_) {
            const EmbeddedFont& font = fonts_.font(g.font);
            if (onlyEmboldened && !font.emboldened)
                continue;
            const unsigned code = fonts_.codeOf(g.font, g.glyph);
            const double x = g.x + shift;
            if (!open || g.font != current || std::abs(g.y - y) > kSamePlace) {
                if (open)
                    out_.append(")]TJ\n");
                if (g.font != state_.font || size != state_.fontSize) {
                    out_ << "/" << font.resourceName << " " << size << "Tf ";
                    state_.font = g.font;
                    state_.fontSize = size;
                }
                current = g.font;
                moveTo(x, g.y, font.slant);
                out_.append("[(");
                open = true;
                y = g.y;
                penX = lineX_;
            } else if (std::abs(penX - x) > kSamePlace) {
                const double adjustment = asWritten((penX - x) * kGlyphEm / size);
                out_.append(')');
                appendNumber(out_, adjustment);
                out_.append('(');
                penX -= adjustment * size / kGlyphEm;
            }
            appendCode(code);
            // Where the reader's pen goes next, which is where the glyph
            // landed plus its advance, not where it should have landed.
            penX += fonts_.width(g.font, g.glyph) * size / kGlyphEm;
        }
        if (open)
            out_.append(")]TJ\n");
    }

    // Positions closer than this (in twips) are one place.
    static constexpr double kSamePlace = 0.05;

    FontSet& fonts_;
    ImageSet& images_;
    QByteArray out_;
    State state_;
    std::vector<PlacedGlyph> glyphs_;
    bool inText_ = false;
    // The start of the current line of text (Td moves relative to it).
    bool lineSet_ = false;
    double lineX_ = 0, lineY_ = 0, lineSlant_ = 0;
};

QByteArray pdfDate(const QDateTime& when)
{
    const QDateTime utc = when.toUTC();
    return "(D:" + utc.toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1() + "Z)";
}

void writeDocument(QIODevice& device, const Document& document, const QString& title)
{
    ObjectWriter objects(device);
    const int catalog = objects.reserve(), pagesId = objects.reserve(), info = objects.reserve(),
              resources = objects.reserve();
    FontSet fonts(objects);
    ImageSet images(objects);
    PageContent content(fonts, images);

    std::vector<int> pageIds;
    for (const Page& page : document.pages) {
        const QRectF paper = pageLayoutFor(page).fullRectPoints();
        const int pageId = objects.reserve(), contentId = objects.reserve();
        objects.stream(contentId, QByteArray(), content.take(page, paper.height()), kFastDeflate);
        QByteArray dictionary = "<</Type/Page/Parent " + ref(pagesId) + "/MediaBox[0 0 ";
        dictionary << paper.width() << paper.height() << "]/Resources " << ref(resources) << "/Contents "
                   << ref(contentId) << ">>";
        objects.object(pageId, dictionary);
        pageIds.push_back(pageId);
    }

    QByteArray kids;
    for (int id : pageIds)
        kids << ref(id) << " ";
    QByteArray pagesDictionary = "<</Type/Pages/Kids[" + kids + "]/Count ";
    pagesDictionary << int(pageIds.size()) << ">>";
    objects.object(pagesId, pagesDictionary);
    objects.object(catalog, "<</Type/Catalog/Pages " + ref(pagesId) + ">>");
    const QByteArray fontResources = fonts.writeFonts();
    objects.object(resources, "<</ProcSet[/PDF/Text/ImageB/ImageC]/Font<<" + fontResources + ">>/XObject<<" +
                                  images.resources() + ">>>>");
    QByteArray infoDictionary = "<</Creator " + textString(QStringLiteral("Quillet")) +
                                "/Producer " + textString(QStringLiteral("Quillet")) +
                                "/CreationDate " + pdfDate(QDateTime::currentDateTime());
    if (!title.isEmpty())
        infoDictionary += "/Title " + textString(title);
    infoDictionary += ">>";
    objects.object(info, infoDictionary);
    objects.finish(catalog, info);
}

} // namespace

bool writePdfTo(QIODevice& device, const Document& document, const QString& title)
{
    try {
        writeDocument(device, document, title);
    } catch (const WriteFailed&) {
        // A stop makes the file refuse writes: it ends the run as a stop.
        pollStop();
        return false;
    }
    return true;
}

} // namespace quillet::surface
