#include "surface/pdf_fonts.h"

#include "surface/font_resolver.h"
#include "surface/symbol_fonts.h"
#include "surface/twip_faces.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillet::surface::pdf {
namespace {

// Text is shaped on a device of 1440 dpi, as layout measures it: one pixel
// of the font is one twip.
constexpr int kTwipDpi = 1440;
constexpr int kTwipDotsPerMetre = 56693;

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

} // namespace

FontSet::FontSet(ObjectWriter& objects) : objects_(objects)
{
    device_.setDotsPerMeterX(kTwipDotsPerMetre);
    device_.setDotsPerMeterY(kTwipDotsPerMetre);
}

const StyleFont& FontSet::styleFont(const FontStyle& style)
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
    // The face at the size of Qt's engine for the font, which the painter
    // places lines with, from the face's one engine (twip_faces.h).
    const QRawFont engineFace = twipFace(entry->font, kTwipDpi);
    entry->raw = engineFace.isValid() ? engineFace : QRawFont::fromFont(entry->font);
    // At 1440 dpi the pixel size is the point size times 20.
    entry->raw.setPixelSize(entry->font.pointSizeF() * kTwipDpi / 72.0);
    entry->embedded = entry->raw.isValid() ? embeddedFor(entry->raw) : -1;
    // Underline and strike-out lines as QPainter places them.
    struct {
        double underline, descent, ascent, lineWidth;
    } metrics;
    if (engineFace.isValid()) {
        metrics = {engineFace.underlinePosition(), engineFace.descent(), engineFace.ascent(),
                   engineFace.lineThickness()};
    } else {
        const QFontMetricsF qt(entry->font, &device_);
        metrics = {qt.underlinePos(), qt.descent(), qt.ascent(), qt.lineWidth()};
    }
    double offset = std::ceil(metrics.underline) + 0.5;
    if (metrics.underline <= metrics.descent)
        offset = std::min(offset, metrics.descent - 0.5);
    entry->underlineOffset = offset;
    entry->strikeOutOffset = -metrics.ascent / 3.0;
    entry->lineThickness = metrics.lineWidth;
    entry->pictureFont = symbolFontNamed(style.name) != SymbolFont::None;

    last_ = entry.get();
    styles_.emplace(style, std::move(entry));
    return *last_;
}

double FontSet::placeText(const StyleFont& style, const Text& text, double x, double baseline,
                          std::vector<PlacedGlyph>& placed)
{
    // The commonest text is placed straight from the characters it holds,
    // without making a QString of it.
    if (!style.pictureFont && style.embedded >= 0 && !text.empty()) {
        placed.clear();
        if (const std::optional<double> advance = placeLatin(style, text, x, baseline, placed))
            return *advance;
    }
    return place(style, drawn(style, text), x, baseline, placed);
}

QString FontSet::drawn(const StyleFont& style, const Text& text)
{
    if (style.pictureFont)
        return drawnText(style.style, text);
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

double FontSet::place(const StyleFont& style, const QString& text, double x, double baseline,
             std::vector<PlacedGlyph>& placed)
{
    placed.clear();
    if (text.isEmpty())
        return 0;
    if (style.embedded >= 0) {
        const TextView view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
        if (const std::optional<double> advance = placeLatin(style, view, x, baseline, placed))
            return *advance;
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

std::optional<double> FontSet::placeLatin(const StyleFont& style, TextView text, double x, double baseline,
                                          std::vector<PlacedGlyph>& placed)
{
    // As the direct look-up in place() finds them, one character at a
    // time: no character of these changes the glyph of its neighbours.
    for (const char16_t code : text) {
        if (code >= style.latin.size())
            return std::nullopt;
        const QChar c(code);
        StyleFont::KnownGlyph& known = style.latin[code];
        if (known.state == StyleFont::KnownGlyph::Unknown) {
            quint32 glyph = 0;
            int count = 1;
            known.state = StyleFont::KnownGlyph::NeedsLayout;
            if (drawnAsItIs(c.unicode()) && style.raw.glyphIndexesForChars(&c, 1, &glyph, &count) && count == 1 &&
                glyph != 0) {
                QPointF advance;
                style.raw.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::SeparateAdvances);
                known = {StyleFont::KnownGlyph::Direct, glyph, advance.x()};
            }
        }
        if (known.state != StyleFont::KnownGlyph::Direct)
            return std::nullopt;
    }
    EmbeddedFont& font = *fonts_[size_t(style.embedded)];
    double at = x;
    const size_t first = placed.size();
    placed.resize(first + text.size());
    PlacedGlyph* glyph = placed.data() + first;
    for (const char16_t c : text) {
        const StyleFont::KnownGlyph& known = style.latin[c];
        *glyph++ = {style.embedded, known.glyph, at, baseline};
        font.used.add(known.glyph, c);
        at += known.advance;
    }
    return at - x;
}

QByteArray FontSet::writeFonts()
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

unsigned FontSet::outlineCode(EmbeddedFont& font, unsigned glyph)
{
    auto [it, added] = font.codes.try_emplace(glyph, unsigned(font.glyphOfCode.size()) + 1);
    if (added)
        font.glyphOfCode.push_back(glyph);
    return it->second;
}

double FontSet::readWidth(int index, unsigned glyph)
{
    EmbeddedFont& font = *fonts_[size_t(index)];
    const double width = font.trueType
                             ? font.trueType->advance(glyph) * kGlyphEm / font.trueType->facts().unitsPerEm
                             : outlineAdvance(font, glyph);
    if (glyph >= font.widths.size())
        font.widths.resize(glyph + 1, std::nan(""));
    font.widths[glyph] = width;
    return width;
}

double FontSet::placeWithLayout(const StyleFont& style, const QString& text, double x, double baseline,
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

int FontSet::embeddedFor(const QRawFont& raw)
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

QByteArray FontSet::baseName(const EmbeddedFont& font)
{
    QByteArray name;
    const QString full = font.raw.familyName() + QLatin1Char('-') + font.raw.styleName();
    for (QChar c : full) {
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-')
            name.append(char(c.unicode()));
    }
    return name.isEmpty() ? QByteArray("Font") : name;
}

QByteArray FontSet::subsetTag(const std::set<unsigned>& glyphs)
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

QByteArray FontSet::toUnicodeCMap(const std::vector<std::pair<unsigned, char32_t>>& codes)
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

void FontSet::writeTrueType(EmbeddedFont& font, QByteArray& resources)
{
    const TrueTypeFont& tt = *font.trueType;
    const std::set<unsigned> glyphs = font.used.glyphs();
    std::vector<CidGlyph> cids;
    const double scale = kGlyphEm / tt.facts().unitsPerEm;
    for (unsigned glyph : glyphs)
        cids.push_back({glyph, tt.advance(glyph) * scale, font.used.character(glyph)});
    writeCidFont(font, tt.facts(), tt.subset(glyphs), subsetTag(glyphs) + '+' + baseName(font), cids, resources);
}

void FontSet::writeFromOutlines(EmbeddedFont& font, QByteArray& resources)
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

void FontSet::writeCidFont(const EmbeddedFont& font, const TrueTypeFacts& facts, const QByteArray& program,
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

double FontSet::outlineAdvance(EmbeddedFont& font, unsigned glyph)
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

} // namespace quillet::surface::pdf
