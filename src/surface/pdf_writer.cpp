#include "surface/pdf_writer.h"

#include "common/stop_request.h"
#include "surface/font_resolver.h"
#include "surface/font_subset.h"
#include "surface/pdf_export.h"

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
#include <cstdio>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace quillet::surface {
namespace {

// Text is shaped on a device of 1440 dpi, as layout measures it: one pixel
// of the font is one twip.
constexpr int kTwipDpi = 1440;
constexpr int kTwipDotsPerMetre = 56693;
// Type 3 glyphs are drawn in a 1000-unit em.
constexpr double kGlyphEm = 1000.0;
// Glyphs per Type 3 font: its codes are single bytes.
constexpr unsigned kType3Codes = 256;

// ---- output helpers ------------------------------------------------------

void appendNumber(QByteArray& out, double value)
{
    if (!std::isfinite(value))
        value = 0;
    const double rounded = std::round(value * 1000.0) / 1000.0;
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

// A deflated stream body: qCompress gives a zlib stream behind a 4-byte
// length of its own.
QByteArray deflate(const QByteArray& data)
{
    return qCompress(data, 6).mid(4);
}

// The objects of the file, numbered from 1, and where each starts.
class ObjectWriter {
public:
    ObjectWriter()
    {
        out_.reserve(1 << 16);
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
    }

    void stream(int id, QByteArray dictionary, const QByteArray& data, bool compress)
    {
        const QByteArray body = compress ? deflate(data) : data;
        start(id);
        out_.append("<<");
        out_.append(dictionary);
        if (compress)
            out_.append("/Filter/FlateDecode");
        out_.append("/Length ");
        appendInt(out_, body.size());
        out_.append(">>\nstream\n");
        out_.append(body);
        out_.append("\nendstream\nendobj\n");
    }

    QByteArray finish(int catalog, int info)
    {
        const qsizetype xref = out_.size();
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
        return std::move(out_);
    }

private:
    void start(int id)
    {
        offsets_[size_t(id - 1)] = out_.size();
        appendInt(out_, id);
        out_.append(" 0 obj\n");
    }

    QByteArray out_;
    std::vector<qsizetype> offsets_;
};

// ---- fonts ---------------------------------------------------------------

QString fontKey(const QRawFont& raw)
{
    return raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
           QString::number(raw.weight()) + QLatin1Char('|') + QString::number(int(raw.style()));
}

// One font face the document draws with, embedded once whatever its sizes.
struct EmbeddedFont {
    QRawFont raw;
    std::optional<TrueTypeFont> trueType;
    std::map<unsigned, char32_t> unicode;  // glyph -> the character it drew
    std::set<unsigned> glyphs;
    // Type 3 only: glyph -> code in order of first use, and the font
    // objects of each run of 256 codes.
    std::unordered_map<unsigned, unsigned> codes;
    std::vector<unsigned> glyphOfCode;
    std::vector<int> objects;
    QByteArray resourceName;  // TrueType: the one font's name
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
};

class FontSet {
public:
    explicit FontSet(ObjectWriter& objects) : objects_(objects)
    {
        device_.setDotsPerMeterX(kTwipDotsPerMetre);
        device_.setDotsPerMeterY(kTwipDotsPerMetre);
    }

    const StyleFont& styleFont(const FontStyle& style)
    {
        if (last_ < styles_.size() && styles_[last_]->style == style)
            return *styles_[last_];
        for (size_t i = 0; i < styles_.size(); ++i) {
            if (styles_[i]->style == style) {
                last_ = i;
                return *styles_[i];
            }
        }
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
        styles_.push_back(std::move(entry));
        last_ = styles_.size() - 1;
        return *styles_.back();
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
            const QList<quint32> glyphs = style.raw.glyphIndexesForString(text);
            const bool direct = glyphs.size() == text.size() &&
                                std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end();
            if (direct) {
                const QList<QPointF> advances =
                    style.raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
                EmbeddedFont& font = *fonts_[size_t(style.embedded)];
                double at = x;
                for (qsizetype i = 0; i < glyphs.size(); ++i) {
                    placed.push_back({style.embedded, glyphs[i], at, baseline});
                    use(font, glyphs[i], text[i].unicode());
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
            if (font->glyphs.empty())
                continue;
            if (font->trueType)
                writeTrueType(*font, resources);
            else
                writeType3(*font, resources);
        }
        return resources;
    }

    // The name under which `glyph` of font `index` is drawn, and its code.
    std::pair<QByteArray, unsigned> codeOf(int index, unsigned glyph)
    {
        EmbeddedFont& font = *fonts_[size_t(index)];
        if (font.trueType)
            return {font.resourceName, glyph};
        auto [it, added] = font.codes.try_emplace(glyph, unsigned(font.glyphOfCode.size()));
        if (added) {
            font.glyphOfCode.push_back(glyph);
            if (it->second / kType3Codes >= font.objects.size())
                font.objects.push_back(objects_.reserve());
        }
        const unsigned run = it->second / kType3Codes;
        return {font.resourceName + '_' + QByteArray::number(run), it->second % kType3Codes};
    }

    bool isTrueType(int index) const { return fonts_[size_t(index)]->trueType.has_value(); }

    // The advance of `glyph` in thousandths of the em, as the PDF font
    // gives it.
    double width(int index, unsigned glyph) const
    {
        const EmbeddedFont& font = *fonts_[size_t(index)];
        if (font.trueType)
            return std::round(font.trueType->advance(glyph) * kGlyphEm / font.trueType->facts().unitsPerEm);
        return std::round(type3Advance(font, glyph));
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
            std::set<unsigned> drawn(glyphs.begin(), glyphs.end());
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
                placed.push_back({index, glyphs[i], x + positions[i].x(), baseline + positions[i].y() - line.ascent()});
            for (uint c : characters) {
                if (!raw.supportsCharacter(c))
                    continue;
                const char32_t character = c;
                const QList<quint32> own = raw.glyphIndexesForString(QString::fromUcs4(&character, 1));
                if (!own.isEmpty() && drawn.count(own[0]))
                    use(font, own[0], c);
            }
            for (quint32 glyph : glyphs)
                font.glyphs.insert(glyph);
        }
        std::stable_sort(placed.begin(), placed.end(),
                         [](const PlacedGlyph& a, const PlacedGlyph& b) { return a.x < b.x; });
        return line.horizontalAdvance();
    }

    static void use(EmbeddedFont& font, unsigned glyph, char32_t character)
    {
        font.glyphs.insert(glyph);
        font.unicode.try_emplace(glyph, character);
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
    static QByteArray subsetTag(const EmbeddedFont& font)
    {
        quint32 hash = 2166136261u;
        for (unsigned glyph : font.glyphs)
            hash = (hash ^ glyph) * 16777619u;
        QByteArray tag;
        for (int i = 0; i < 6; ++i) {
            tag.append(char('A' + hash % 26));
            hash /= 26;
        }
        return tag;
    }

    static QByteArray toUnicodeCMap(const EmbeddedFont& font, const std::vector<std::pair<unsigned, char32_t>>& codes,
                                    int codeBytes)
    {
        QByteArray cmap = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                          "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n";
        cmap.append(codeBytes == 2 ? "<0000><FFFF>\n" : "<00><FF>\n");
        cmap.append("endcodespacerange\n");
        for (size_t start = 0; start < codes.size(); start += 100) {
            const size_t end = std::min(codes.size(), start + 100);
            appendInt(cmap, qsizetype(end - start));
            cmap.append(" beginbfchar\n");
            for (size_t i = start; i < end; ++i) {
                cmap.append('<');
                appendHex(cmap, codes[i].first, codeBytes * 2);
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
        (void)font;
        return cmap;
    }

    void writeTrueType(EmbeddedFont& font, QByteArray& resources)
    {
        const TrueTypeFont& tt = *font.trueType;
        const TrueTypeFacts& facts = tt.facts();
        const double scale = kGlyphEm / facts.unitsPerEm;
        const QByteArray name = subsetTag(font) + '+' + baseName(font);
        const int type0 = objects_.reserve(), cidFont = objects_.reserve(), descriptor = objects_.reserve(),
                  program = objects_.reserve(), toUnicode = objects_.reserve();

        const QByteArray subset = tt.subset(font.glyphs);
        QByteArray programDict = "/Length1 ";
        appendInt(programDict, subset.size());
        objects_.stream(program, programDict, subset, true);

        int flags = 4;  // symbolic: glyphs are addressed by id
        if (facts.fixedPitch)
            flags |= 1;
        if (facts.italicAngle != 0 || font.raw.style() != QFont::StyleNormal)
            flags |= 64;
        QByteArray d = "<</Type/FontDescriptor/FontName/" + name + "/Flags ";
        d << flags << "/FontBBox[" << facts.xMin * scale << facts.yMin * scale << facts.xMax * scale
          << facts.yMax * scale << "]/ItalicAngle " << facts.italicAngle << "/Ascent " << facts.ascent * scale
          << "/Descent " << facts.descent * scale << "/CapHeight " << facts.capHeight * scale
          << "/StemV 80/FontFile2 " << ref(program) << ">>";
        objects_.object(descriptor, d);

        QByteArray widths = "[";
        unsigned previous = 0;
        bool open = false;
        for (unsigned glyph : font.glyphs) {
            if (!open || glyph != previous + 1) {
                if (open)
                    widths.append("]");
                appendInt(widths, glyph);
                widths.append("[");
                open = true;
            } else {
                widths.append(' ');
            }
            appendNumber(widths, std::round(tt.advance(glyph) * scale));
            previous = glyph;
        }
        if (open)
            widths.append("]");
        widths.append("]");
        QByteArray c = "<</Type/Font/Subtype/CIDFontType2/BaseFont/" + name +
                       "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor " +
                       ref(descriptor) + "/CIDToGIDMap/Identity/DW 0/W" + widths + ">>";
        objects_.object(cidFont, c);

        std::vector<std::pair<unsigned, char32_t>> codes(font.unicode.begin(), font.unicode.end());
        objects_.stream(toUnicode, QByteArray(), toUnicodeCMap(font, codes, 2), true);
        objects_.object(type0, "<</Type/Font/Subtype/Type0/BaseFont/" + name + "/Encoding/Identity-H/DescendantFonts[" +
                                   ref(cidFont) + "]/ToUnicode " + ref(toUnicode) + ">>");
        resources.append('/' + font.resourceName + ' ' + ref(type0));
    }

    double type3Advance(const EmbeddedFont& font, unsigned glyph) const
    {
        QRawFont em = font.raw;
        em.setPixelSize(kGlyphEm);
        const QList<QPointF> advances = em.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics);
        return advances.isEmpty() ? 0 : advances[0].x();
    }

    // Fonts without TrueType outlines become Type 3 fonts whose glyphs are
    // their outlines as Qt gives them, filled in the text colour.
    void writeType3(EmbeddedFont& font, QByteArray& resources)
    {
        QRawFont em = font.raw;
        em.setPixelSize(kGlyphEm);
        for (size_t run = 0; run < font.objects.size(); ++run) {
            const unsigned first = unsigned(run) * kType3Codes;
            const unsigned last = std::min<unsigned>(unsigned(font.glyphOfCode.size()), first + kType3Codes);
            QByteArray procs = "<<", widths = "[", differences = "[0";
            std::vector<std::pair<unsigned, char32_t>> codes;
            QRectF box;
            for (unsigned code = first; code < last; ++code) {
                const unsigned glyph = font.glyphOfCode[code];
                const double advance = std::round(type3Advance(font, glyph));
                const QPainterPath path = em.pathForGlyph(glyph);
                const QRectF bounds = path.boundingRect();
                box = box.united(bounds);
                QByteArray proc;
                proc << advance << "0 " << bounds.left() << -bounds.bottom() << bounds.right() << -bounds.top()
                     << "d1\n";
                for (int i = 0; i < path.elementCount(); ++i) {
                    const QPainterPath::Element e = path.elementAt(i);
                    if (e.isMoveTo()) {
                        proc << e.x << -e.y << "m\n";
                    } else if (e.isLineTo()) {
                        proc << e.x << -e.y << "l\n";
                    } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
                        const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
                        proc << e.x << -e.y << c2.x << -c2.y << end.x << -end.y << "c\n";
                        i += 2;
                    }
                }
                proc.append(path.fillRule() == Qt::WindingFill ? "f\n" : "f*\n");
                const int procObject = objects_.reserve();
                objects_.stream(procObject, QByteArray(), proc, true);
                const QByteArray glyphName = "g" + QByteArray::number(code - first);
                procs.append('/' + glyphName + ' ' + ref(procObject));
                differences.append('/' + glyphName);
                appendNumber(widths, advance);
                widths.append(' ');
                auto mapped = font.unicode.find(glyph);
                if (mapped != font.unicode.end())
                    codes.emplace_back(code - first, mapped->second);
            }
            procs.append(">>");
            widths.append("]");
            differences.append("]");
            const int toUnicode = objects_.reserve();
            objects_.stream(toUnicode, QByteArray(), toUnicodeCMap(font, codes, 1), true);
            QByteArray f = "<</Type/Font/Subtype/Type3/FontMatrix[0.001 0 0 0.001 0 0]/FontBBox[";
            f << box.left() << -box.bottom() << box.right() << -box.top();
            f << "]/Resources<<>>/CharProcs " << procs << "/Encoding<</Type/Encoding/Differences " << differences
              << ">>/FirstChar 0/LastChar ";
            f << int(last - first - 1) << "/Widths" << widths << "/ToUnicode " << ref(toUnicode) << ">>";
            objects_.object(font.objects[run], f);
            resources.append('/' + font.resourceName + '_' + QByteArray::number(qsizetype(run)) + ' ' +
                             ref(font.objects[run]));
        }
    }

    ObjectWriter& objects_;
    QImage device_{1, 1, QImage::Format_ARGB32};
    std::vector<std::unique_ptr<StyleFont>> styles_;
    size_t last_ = 0;
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
        QByteArray pixels, mask;
        pixels.reserve(qsizetype(w) * h * (gray ? 1 : 3));
        if (alpha)
            mask.reserve(qsizetype(w) * h);
        bool opaque = true;
        for (int y = 0; y < h; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb p = line[x];
                if (gray) {
                    pixels.append(char(qRed(p)));
                } else {
                    pixels.append(char(qRed(p)));
                    pixels.append(char(qGreen(p)));
                    pixels.append(char(qBlue(p)));
                }
                if (alpha) {
                    mask.append(char(qAlpha(p)));
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
            objects_.stream(maskId, maskDictionary, mask, true);
            dictionary.append("/SMask " + ref(maskId));
        }
        const int id = objects_.reserve();
        objects_.stream(id, dictionary, pixels, true);
        return id;
    }

    ObjectWriter& objects_;
    std::unordered_map<qint64, QByteArray> names_;
    QByteArray resources_;
};

// ---- pages ---------------------------------------------------------------

void appendColour(QByteArray& out, Rgb rgb, const char* op)
{
    out << (rgb & 0xFF) / 255.0 << ((rgb >> 8) & 0xFF) / 255.0 << ((rgb >> 16) & 0xFF) / 255.0 << op << "\n";
}

void appendRect(QByteArray& out, const TwipRect& r)
{
    out << r.left << r.top << r.width() << r.height() << "re ";
}

// One page's content stream, in twips from the top-left corner (the page
// transform flips the axis once).
class PageContent {
public:
    PageContent(FontSet& fonts, ImageSet& images) : fonts_(fonts), images_(images) {}

    QByteArray take(const Page& page, double heightPoints)
    {
        out_.clear();
        out_ << "0.05 0 0 -0.05 0 " << heightPoints << "cm 0 J 0 j\n";
        for (const DrawOp& op : page.ops) {
            pollStop();
            std::visit(*this, op);
        }
        return std::move(out_);
    }

    void operator()(const TextOp& op)
    {
        const StyleFont& style = fonts_.styleFont(op.font);
        const double advance = fonts_.place(style, drawnText(op.font, op.text), op.x, op.baseline, glyphs_);
        if (glyphs_.empty() && !op.font.underline && !op.font.strikeout)
            return;
        out_.append("q ");
        if (op.clip) {
            appendRect(out_, *op.clip);
            out_.append("W n\n");
        }
        appendColour(out_, op.colour, "rg");
        writeGlyphs(style);
        if (op.font.underline || op.font.strikeout) {
            appendColour(out_, op.colour, "RG");
            out_ << style.lineThickness << "w\n";
            const double x1 = std::floor(op.x), x2 = std::floor(op.x + advance);
            if (op.font.underline)
                line(x1, op.baseline + style.underlineOffset, x2, op.baseline + style.underlineOffset);
            if (op.font.strikeout)
                line(x1, op.baseline + style.strikeOutOffset, x2, op.baseline + style.strikeOutOffset);
        }
        out_.append("Q\n");
    }

    void operator()(const LineOp& op)
    {
        appendColour(out_, op.colour, "RG");
        out_ << penWidth(op.width) << "w ";
        line(op.x1, op.y1, op.x2, op.y2);
    }

    void operator()(const RectOp& op)
    {
        if (op.fill) {
            appendColour(out_, *op.fill, "rg");
            appendRect(out_, op.rect);
            out_.append("f\n");
        }
        if (op.outline) {
            appendColour(out_, *op.outline, "RG");
            out_ << penWidth(op.penWidth) << "w ";
            appendRect(out_, op.rect);
            out_.append("S\n");
        }
    }

    void operator()(const PictureOp& op)
    {
        if (op.image.isNull() || op.rect.width() == 0 || op.rect.height() == 0)
            return;
        const QByteArray name = images_.nameOf(op.image);
        out_ << "q " << op.rect.width() << "0 0 " << -op.rect.height() << op.rect.left << op.rect.bottom
             << "cm /" << name << " Do Q\n";
    }

private:
    // Width 0 is a hairline (PDF's thinnest line); any other width is never
    // thinner than the one-twip device pixel the painter keeps on PDF.
    static double penWidth(double width) { return width <= 0 ? 0.0 : std::max(width, 1.0); }

    void line(double x1, double y1, double x2, double y2)
    {
        out_ << x1 << y1 << "m " << x2 << y2 << "l S\n";
    }

    // The glyphs in runs of one font: each run is placed once, and a glyph
    // whose position differs from where the font's advance would put it
    // gets a TJ adjustment.
    void writeGlyphs(const StyleFont& style)
    {
        const double size = style.raw.pixelSize();
        if (glyphs_.empty() || size <= 0)
            return;
        out_.append("BT\n");
        QByteArray current;
        double expectedX = 0, y = 0;
        bool open = false;
        for (const PlacedGlyph& g : glyphs_) {
            auto [name, code] = fonts_.codeOf(g.font, g.glyph);
            const bool twoBytes = fonts_.isTrueType(g.font);
            if (!open || name != current || std::abs(g.y - y) > 0.01) {
                if (open)
                    out_.append(">]TJ\n");
                if (name != current) {
                    out_ << "/" << name << " " << size << "Tf ";
                    current = name;
                }
                out_ << "1 0 0 -1 " << g.x << g.y << "Tm [<";
                open = true;
                y = g.y;
            } else {
                const double adjust = (expectedX - g.x) * kGlyphEm / size;
                if (std::abs(adjust) > 0.05) {
                    out_.append('>');
                    appendNumber(out_, adjust);
                    out_.append('<');
                }
            }
            appendHex(out_, code, twoBytes ? 4 : 2);
            expectedX = g.x + fonts_.width(g.font, g.glyph) * size / kGlyphEm;
        }
        out_.append(">]TJ\nET\n");
    }

    FontSet& fonts_;
    ImageSet& images_;
    QByteArray out_;
    std::vector<PlacedGlyph> glyphs_;
};

QByteArray pdfDate(const QDateTime& when)
{
    const QDateTime utc = when.toUTC();
    return "(D:" + utc.toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1() + "Z)";
}

} // namespace

QByteArray pdfBytes(const Document& document, const QString& title)
{
    ObjectWriter objects;
    const int catalog = objects.reserve(), pagesId = objects.reserve(), info = objects.reserve(),
              resources = objects.reserve();
    FontSet fonts(objects);
    ImageSet images(objects);
    PageContent content(fonts, images);

    std::vector<int> pageIds;
    for (const Page& page : document.pages) {
        const QRectF paper = pageLayoutFor(page).fullRectPoints();
        const int pageId = objects.reserve(), contentId = objects.reserve();
        objects.stream(contentId, QByteArray(), content.take(page, paper.height()), true);
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
    return objects.finish(catalog, info);
}

} // namespace quillet::surface
