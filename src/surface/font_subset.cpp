#include "surface/font_subset.h"

#include <algorithm>
#include <vector>

namespace quillet::surface {
namespace {

quint32 u16(const QByteArray& data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    return (quint32(quint8(data[at])) << 8) | quint8(data[at + 1]);
}

int s16(const QByteArray& data, qsizetype at)
{
    return static_cast<qint16>(static_cast<quint16>(u16(data, at)));
}

quint32 u32(const QByteArray& data, qsizetype at)
{
    return (u16(data, at) << 16) | u16(data, at + 2);
}

void put16(QByteArray& data, qsizetype at, quint32 value)
{
    data[at] = char((value >> 8) & 0xFF);
    data[at + 1] = char(value & 0xFF);
}

void append16(QByteArray& out, quint32 value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void append32(QByteArray& out, quint32 value)
{
    append16(out, value >> 16);
    append16(out, value & 0xFFFF);
}

quint32 tagOf(const char* tag)
{
    return (quint32(quint8(tag[0])) << 24) | (quint32(quint8(tag[1])) << 16) | (quint32(quint8(tag[2])) << 8) |
           quint8(tag[3]);
}

quint32 checksum(const QByteArray& data)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < data.size() ? quint8(data[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// Composite glyph flags (the glyf table's component records).
constexpr quint32 kArgsAreWords = 0x0001;
constexpr quint32 kHaveScale = 0x0008;
constexpr quint32 kMoreComponents = 0x0020;
constexpr quint32 kHaveXYScale = 0x0040;
constexpr quint32 kHaveTwoByTwo = 0x0080;
constexpr quint32 kHaveInstructions = 0x0100;
// Composites nest; a font whose components loop must not hang us.
constexpr int kMaxCompositeDepth = 16;

// A glyph's outline without its hinting instructions, which PDF viewers
// do not run: the font then needs no cvt, fpgm or prep either.
QByteArray withoutInstructions(const QByteArray& glyph)
{
    if (glyph.size() < 10)
        return glyph;
    const int contours = s16(glyph, 0);
    if (contours >= 0) {
        const qsizetype lengthAt = 10 + qsizetype(contours) * 2;
        const qsizetype length = u16(glyph, lengthAt);
        if (lengthAt + 2 + length > glyph.size())
            return glyph;
        QByteArray out = glyph.left(lengthAt);
        append16(out, 0);
        out.append(glyph.mid(lengthAt + 2 + length));
        return out;
    }
    qsizetype at = 10;
    for (;;) {
        if (at + 4 > glyph.size())
            return glyph;
        const quint32 flags = u16(glyph, at);
        const qsizetype next = at + 4 + ((flags & kArgsAreWords) ? 4 : 2) +
                               ((flags & kHaveScale) ? 2 : (flags & kHaveXYScale) ? 4 : (flags & kHaveTwoByTwo) ? 8 : 0);
        if (!(flags & kMoreComponents)) {
            if (!(flags & kHaveInstructions) || next > glyph.size())
                return glyph;
            QByteArray out = glyph.left(next);
            put16(out, at, flags & ~kHaveInstructions);
            return out;
        }
        at = next;
    }
}

} // namespace

std::optional<TrueTypeFont> TrueTypeFont::read(const FontTableReader& tables)
{
    TrueTypeFont font;
    font.head_ = tables("head");
    font.hhea_ = tables("hhea");
    font.hmtx_ = tables("hmtx");
    font.maxp_ = tables("maxp");
    font.loca_ = tables("loca");
    font.glyf_ = tables("glyf");
    if (font.head_.size() < 54 || font.hhea_.size() < 36 || font.maxp_.size() < 6 || font.glyf_.isEmpty() ||
        font.loca_.isEmpty())
        return std::nullopt;

    TrueTypeFacts& f = font.facts_;
    f.unitsPerEm = int(u16(font.head_, 18));
    if (f.unitsPerEm < 16)
        return std::nullopt;
    f.xMin = s16(font.head_, 36);
    f.yMin = s16(font.head_, 38);
    f.xMax = s16(font.head_, 40);
    f.yMax = s16(font.head_, 42);
    font.longLoca_ = s16(font.head_, 50) == 1;
    f.ascent = s16(font.hhea_, 4);
    f.descent = s16(font.hhea_, 6);
    font.horizontalMetrics_ = int(u16(font.hhea_, 34));
    f.glyphCount = int(u16(font.maxp_, 4));
    const qsizetype locaEntries = font.loca_.size() / (font.longLoca_ ? 4 : 2);
    f.glyphCount = int(std::min<qsizetype>(f.glyphCount, locaEntries - 1));
    font.horizontalMetrics_ =
        int(std::min<qsizetype>(font.horizontalMetrics_, font.hmtx_.size() / 4));
    if (f.glyphCount <= 0 || font.horizontalMetrics_ <= 0)
        return std::nullopt;

    const QByteArray os2 = tables("OS/2");
    f.capHeight = u16(os2, 0) >= 2 && os2.size() >= 90 ? s16(os2, 88) : f.ascent;
    const QByteArray post = tables("post");
    if (post.size() >= 16) {
        f.italicAngle = double(qint32(u32(post, 4))) / 65536.0;
        f.fixedPitch = u32(post, 12) != 0;
    }
    return font;
}

int TrueTypeFont::advance(unsigned glyph) const
{
    if (glyph >= unsigned(facts_.glyphCount))
        return 0;
    const unsigned entry = std::min<unsigned>(glyph, unsigned(horizontalMetrics_ - 1));
    return int(u16(hmtx_, qsizetype(entry) * 4));
}

QByteArray TrueTypeFont::glyphData(unsigned glyph) const
{
    if (glyph >= unsigned(facts_.glyphCount))
        return QByteArray();
    qsizetype start, end;
    if (longLoca_) {
        start = u32(loca_, qsizetype(glyph) * 4);
        end = u32(loca_, qsizetype(glyph) * 4 + 4);
    } else {
        start = qsizetype(u16(loca_, qsizetype(glyph) * 2)) * 2;
        end = qsizetype(u16(loca_, qsizetype(glyph) * 2 + 2)) * 2;
    }
    if (start >= end || end > glyf_.size())
        return QByteArray();
    return glyf_.mid(start, end - start);
}

void TrueTypeFont::addComponents(unsigned glyph, std::set<unsigned>& kept, int depth) const
{
    const QByteArray data = glyphData(glyph);
    if (data.size() < 10 || s16(data, 0) >= 0 || depth > kMaxCompositeDepth)
        return;
    qsizetype at = 10;
    for (;;) {
        if (at + 4 > data.size())
            return;
        const quint32 flags = u16(data, at);
        const unsigned component = u16(data, at + 2);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale)
            at += 2;
        else if (flags & kHaveXYScale)
            at += 4;
        else if (flags & kHaveTwoByTwo)
            at += 8;
        if (kept.insert(component).second)
            addComponents(component, kept, depth + 1);
        if (!(flags & kMoreComponents))
            return;
    }
}

QByteArray TrueTypeFont::subset(const std::set<unsigned>& glyphs) const
{
    std::set<unsigned> kept{0};
    for (unsigned glyph : glyphs) {
        if (glyph < unsigned(facts_.glyphCount))
            kept.insert(glyph);
    }
    for (unsigned glyph : std::vector<unsigned>(kept.begin(), kept.end()))
        addComponents(glyph, kept, 0);
    std::erase_if(kept, [&](unsigned g) { return g >= unsigned(facts_.glyphCount); });
    const unsigned count = *kept.rbegin() + 1;

    QByteArray glyf, loca;
    loca.reserve(qsizetype(count + 1) * 4);
    for (unsigned glyph = 0; glyph < count; ++glyph) {
        append32(loca, quint32(glyf.size()));
        if (kept.count(glyph)) {
            glyf.append(withoutInstructions(glyphData(glyph)));
            while (glyf.size() % 4)
                glyf.append('\0');
        }
    }
    append32(loca, quint32(glyf.size()));

    // Glyphs left out get zero metrics: long runs of zeros that deflate
    // to almost nothing.
    const unsigned metrics = std::min<unsigned>(unsigned(horizontalMetrics_), count);
    QByteArray hmtx;
    hmtx.reserve(qsizetype(count) * 4);
    for (unsigned glyph = 0; glyph < count; ++glyph) {
        const bool keep = kept.count(glyph) != 0;
        if (glyph < metrics) {
            append32(hmtx, keep ? u32(hmtx_, qsizetype(glyph) * 4) : 0);
        } else {
            const qsizetype at = qsizetype(horizontalMetrics_) * 4 + qsizetype(glyph - horizontalMetrics_) * 2;
            append16(hmtx, keep ? u16(hmtx_, at) : 0);
        }
    }
    QByteArray head = head_;
    put16(head, 8, 0);  // checkSumAdjustment, set below
    put16(head, 10, 0);
    put16(head, 50, 1);  // long loca offsets
    QByteArray hhea = hhea_;
    put16(hhea, 34, metrics);
    QByteArray maxp = maxp_;
    put16(maxp, 4, count);

    std::vector<Table> tables;
    tables.push_back({tagOf("glyf"), glyf});
    tables.push_back({tagOf("head"), head});
    tables.push_back({tagOf("hhea"), hhea});
    tables.push_back({tagOf("hmtx"), hmtx});
    tables.push_back({tagOf("loca"), loca});
    tables.push_back({tagOf("maxp"), maxp});
    std::sort(tables.begin(), tables.end(), [](const Table& a, const Table& b) { return a.tag < b.tag; });

    // The table directory, then each table padded to four bytes.
    const quint32 n = quint32(tables.size());
    quint32 power = 1, log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    QByteArray out;
    append32(out, 0x00010000);
    append16(out, n);
    append16(out, power * 16);
    append16(out, log2);
    append16(out, n * 16 - power * 16);
    quint32 offset = 12 + n * 16;
    qsizetype headOffset = 0;
    for (const Table& table : tables) {
        append32(out, table.tag);
        append32(out, checksum(table.data));
        append32(out, offset);
        append32(out, quint32(table.data.size()));
        if (table.tag == tagOf("head"))
            headOffset = offset;
        offset += quint32((table.data.size() + 3) & ~qsizetype(3));
    }
    for (const Table& table : tables) {
        out.append(table.data);
        while (out.size() % 4)
            out.append('\0');
    }
    const quint32 adjustment = 0xB1B0AFBA - checksum(out);
    put16(out, headOffset + 8, adjustment >> 16);
    put16(out, headOffset + 10, adjustment & 0xFFFF);
    return out;
}

} // namespace quillet::surface
