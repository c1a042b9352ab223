#include "surface/font_subset.h"

#include <QPointF>

#include <algorithm>
#include <climits>
#include <cmath>
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

// A font program of the tables TrueType outlines need, in the order of
// their tags, each padded to four bytes, with the checksums set.
QByteArray fontProgram(QByteArray head, const QByteArray& hhea, const QByteArray& hmtx, const QByteArray& maxp,
                       const QByteArray& loca, const QByteArray& glyf)
{
    put16(head, 8, 0);  // checkSumAdjustment, set once the whole is known
    put16(head, 10, 0);
    put16(head, 50, 1);  // long loca offsets
    const std::pair<const char*, const QByteArray*> tables[] = {
        {"glyf", &glyf}, {"head", &head}, {"hhea", &hhea}, {"hmtx", &hmtx}, {"loca", &loca}, {"maxp", &maxp}};
    const quint32 n = quint32(std::size(tables));
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
    for (const auto& [tag, data] : tables) {
        append32(out, tagOf(tag));
        append32(out, checksum(*data));
        append32(out, offset);
        append32(out, quint32(data->size()));
        if (data == &head)
            headOffset = offset;
        offset += quint32((data->size() + 3) & ~qsizetype(3));
    }
    for (const auto& entry : tables) {
        out.append(*entry.second);
        while (out.size() % 4)
            out.append('\0');
    }
    const quint32 adjustment = 0xB1B0AFBA - checksum(out);
    put16(out, headOffset + 8, adjustment >> 16);
    put16(out, headOffset + 10, adjustment & 0xFFFF);
    return out;
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
    QByteArray hhea = hhea_;
    put16(hhea, 34, metrics);
    QByteArray maxp = maxp_;
    put16(maxp, 4, count);

    return fontProgram(head_, hhea, hmtx, maxp, loca, glyf);
}

namespace {

struct OutlinePoint {
    int x;
    int y;
    bool onCurve;
};

// A cubic curve as quadratic ones: cut in n pieces so that each piece's
// single control point, (3 (c1 + c2) - p0 - p3) / 4, keeps it within
// tolerance (the error falls with the cube of n).
void addCubic(std::vector<OutlinePoint>& points, QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    auto point = [](QPointF p, bool on) { return OutlinePoint{int(std::lround(p.x())), int(std::lround(-p.y())), on}; };
    const QPointF bend = p3 - 3 * c2 + 3 * c1 - p0;
    const double error = std::sqrt(3.0) / 36.0 * std::hypot(bend.x(), bend.y());
    const int pieces = std::clamp(int(std::ceil(std::cbrt(error / 0.5))), 1, 16);
    auto at = [&](double t) {
        const double u = 1 - t;
        return u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p3;
    };
    auto slope = [&](double t) {
        const double u = 1 - t;
        return 3 * u * u * (c1 - p0) + 6 * u * t * (c2 - c1) + 3 * t * t * (p3 - c2);
    };
    for (int i = 0; i < pieces; ++i) {
        const double t0 = double(i) / pieces, t1 = double(i + 1) / pieces, span = t1 - t0;
        const QPointF a = at(t0), b = at(t1);
        const QPointF a1 = a + slope(t0) * (span / 3), b1 = b - slope(t1) * (span / 3);
        points.push_back(point((3 * (a1 + b1) - a - b) / 4, false));
        points.push_back(point(b, true));
    }
}

QByteArray glyphFromOutline(const QPainterPath& path, std::vector<int>& bounds, int& pointCount, int& contourCount)
{
    std::vector<std::vector<OutlinePoint>> contours;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p(e.x, e.y);
        if (e.isMoveTo() || contours.empty()) {
            contours.emplace_back();
            contours.back().push_back({int(std::lround(p.x())), int(std::lround(-p.y())), true});
            if (e.isMoveTo())
                continue;
        }
        std::vector<OutlinePoint>& contour = contours.back();
        if (e.isLineTo()) {
            contour.push_back({int(std::lround(p.x())), int(std::lround(-p.y())), true});
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element before = path.elementAt(i - 1);
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            addCubic(contour, QPointF(before.x, before.y), p, QPointF(c2.x, c2.y), QPointF(end.x, end.y));
            i += 2;
        }
    }
    // TrueType closes every contour itself; a closing point on the first
    // one, and contours of fewer than two points, go.
    std::erase_if(contours, [](std::vector<OutlinePoint>& c) {
        if (c.size() > 1 && c.back().onCurve && c.back().x == c.front().x && c.back().y == c.front().y)
            c.pop_back();
        return c.size() < 2;
    });
    if (contours.empty())
        return QByteArray();

    int xMin = INT_MAX, yMin = INT_MAX, xMax = INT_MIN, yMax = INT_MIN;
    QByteArray endPoints, flags, xs, ys;
    int count = 0, lastX = 0, lastY = 0;
    for (const auto& contour : contours) {
        for (const OutlinePoint& p : contour) {
            xMin = std::min(xMin, p.x);
            yMin = std::min(yMin, p.y);
            xMax = std::max(xMax, p.x);
            yMax = std::max(yMax, p.y);
            flags.append(char(p.onCurve ? 0x01 : 0x00));  // both deltas as 16-bit numbers
            append16(xs, quint32(p.x - lastX) & 0xFFFF);
            append16(ys, quint32(p.y - lastY) & 0xFFFF);
            lastX = p.x;
            lastY = p.y;
        }
        count += int(contour.size());
        append16(endPoints, quint32(count - 1));
    }
    QByteArray glyph;
    append16(glyph, quint32(contours.size()));
    for (int v : {xMin, yMin, xMax, yMax})
        append16(glyph, quint32(v) & 0xFFFF);
    glyph.append(endPoints);
    append16(glyph, 0);  // no instructions
    glyph.append(flags);
    glyph.append(xs);
    glyph.append(ys);
    bounds = {xMin, yMin, xMax, yMax};
    pointCount = count;
    contourCount = int(contours.size());
    return glyph;
}

} // namespace

QByteArray trueTypeFromOutlines(const std::vector<OutlineGlyph>& glyphs, int unitsPerEm, int ascent, int descent)
{
    const unsigned count = unsigned(glyphs.size()) + 1;
    QByteArray glyf, loca, hmtx;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0, maxPoints = 0, maxContours = 0, widest = 0;
    bool any = false;
    append32(loca, 0);
    append32(loca, 0);
    append32(hmtx, 0);  // glyph 0: no advance, no outline
    for (const OutlineGlyph& source : glyphs) {
        std::vector<int> bounds;
        int points = 0, contours = 0;
        const QByteArray glyph = glyphFromOutline(source.path, bounds, points, contours);
        glyf.append(glyph);
        while (glyf.size() % 4)
            glyf.append('\0');
        append32(loca, quint32(glyf.size()));
        const int advance = std::clamp(int(std::lround(source.advance)), 0, 0xFFFF);
        widest = std::max(widest, advance);
        append16(hmtx, quint32(advance));
        append16(hmtx, bounds.empty() ? 0 : quint32(bounds[0]) & 0xFFFF);
        if (!bounds.empty()) {
            xMin = any ? std::min(xMin, bounds[0]) : bounds[0];
            yMin = any ? std::min(yMin, bounds[1]) : bounds[1];
            xMax = any ? std::max(xMax, bounds[2]) : bounds[2];
            yMax = any ? std::max(yMax, bounds[3]) : bounds[3];
            any = true;
        }
        maxPoints = std::max(maxPoints, points);
        maxContours = std::max(maxContours, contours);
    }

    QByteArray head;
    append32(head, 0x00010000);  // version
    append32(head, 0x00010000);  // font revision
    append32(head, 0);           // checksum adjustment
    append32(head, 0x5F0F3CF5);  // magic number
    append16(head, 0x000B);      // baseline and left side bearing at 0, integer scaling
    append16(head, quint32(std::clamp(unitsPerEm, 16, 16384)));
    for (int i = 0; i < 4; ++i)
        append32(head, 0);  // created, modified
    for (int v : {xMin, yMin, xMax, yMax})
        append16(head, quint32(v) & 0xFFFF);
    append16(head, 0);  // mac style
    append16(head, 8);  // smallest readable size
    append16(head, 2);  // direction hint
    append16(head, 1);  // long loca offsets
    append16(head, 0);  // glyph data format

    QByteArray hhea;
    append32(hhea, 0x00010000);
    append16(hhea, quint32(ascent) & 0xFFFF);
    append16(hhea, quint32(descent) & 0xFFFF);
    append16(hhea, 0);  // line gap
    append16(hhea, quint32(widest));
    append16(hhea, quint32(xMin) & 0xFFFF);  // min left side bearing (near enough)
    append16(hhea, 0);                        // min right side bearing
    append16(hhea, quint32(xMax) & 0xFFFF);  // x max extent
    append16(hhea, 1);                        // caret slope rise
    for (int i = 0; i < 7; ++i)
        append16(hhea, 0);  // run, offset, reserved, metric data format
    append16(hhea, count);

    QByteArray maxp;
    append32(maxp, 0x00010000);
    append16(maxp, count);
    append16(maxp, quint32(maxPoints));
    append16(maxp, quint32(maxContours));
    append16(maxp, 0);  // composite points
    append16(maxp, 0);  // composite contours
    append16(maxp, 2);  // zones
    for (int i = 0; i < 8; ++i)
        append16(maxp, 0);  // twilight, storage, definitions, stack, instructions, components
    return fontProgram(head, hhea, hmtx, maxp, loca, glyf);
}

} // namespace quillet::surface
