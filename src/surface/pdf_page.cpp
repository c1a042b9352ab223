#include "surface/pdf_page.h"

#include "common/stop_request.h"

#include <cmath>
#include <cstring>

namespace quillet::surface::pdf {
namespace {

void appendRect(ContentBuffer& out, const TwipRect& r)
{
    out << r.left << r.top << r.width() << r.height() << "re ";
}

} // namespace

QByteArray PageContent::take(const Page& page, double heightPoints)
{
    out_.clear();
    state_ = State();
    out_ << "0.05 0 0 -0.05 0 " << heightPoints << "cm 0 J 0 j\n";
    for (const DrawOp& op : page.ops) {
        pollStop();
        std::visit(*this, op);
    }
    endText();
    return QByteArray(out_.data(), qsizetype(out_.size()));
}

void PageContent::operator()(const TextOp& op)
{
    const StyleFont& style = fonts_.styleFont(op.font);
    const double advance = fonts_.placeText(style, op.text, op.x, op.baseline, glyphs_);
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

void PageContent::operator()(const LineOp& op)
{
    endText();
    colour(op.colour, state_.stroke, "RG");
    width(penWidth(op.width));
    line(op.x1, op.y1, op.x2, op.y2);
}

void PageContent::operator()(const RectOp& op)
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

void PageContent::operator()(const PictureOp& op)
{
    if (op.image.isNull() || op.rect.width() == 0 || op.rect.height() == 0)
        return;
    const QByteArray name = images_.nameOf(op.image, op.file);
    endText();
    out_ << "q " << op.rect.width() << "0 0 " << -op.rect.height() << op.rect.left << op.rect.bottom
         << "cm /" << name << " Do Q\n";
}

void PageContent::colour(Rgb rgb, std::optional<Rgb>& current, const char* op)
{
    if (current == rgb)
        return;
    current = rgb;
    out_ << (rgb & 0xFF) / 255.0 << ((rgb >> 8) & 0xFF) / 255.0 << ((rgb >> 16) & 0xFF) / 255.0;
    out_.append(op, std::strlen(op));
    out_ += '\n';
}

void PageContent::width(double w)
{
    if (state_.lineWidth == w)
        return;
    state_.lineWidth = w;
    out_ << w << "w\n";
}

void PageContent::line(double x1, double y1, double x2, double y2)
{
    out_ << x1 << y1 << "m " << x2 << y2 << "l S\n";
}

void PageContent::writeGlyphs(const StyleFont& style)
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

void PageContent::beginText()
{
    if (inText_)
        return;
    out_.append("BT\n");
    inText_ = true;
    lineSet_ = false;
}

void PageContent::endText()
{
    if (!inText_)
        return;
    out_.append("ET\n");
    inText_ = false;
}

void PageContent::moveTo(double x, double y, double slant)
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

void PageContent::appendCode(unsigned code)
{
    // The bytes a literal string escapes: ( ) \ and the line ends.
    constexpr uint64_t kEscapedBelow64 = (1ull << '(') | (1ull << ')') | (1ull << '\r') | (1ull << '\n');
    const auto escaped = [](unsigned byte) {
        return byte == '\\' || (byte < 64 && ((kEscapedBelow64 >> byte) & 1));
    };
    const unsigned high = (code >> 8) & 0xFF, low = code & 0xFF;
    char* at = out_.reserveMore(4);
    if (!escaped(high) && !escaped(low)) [[likely]] {
        // Nearly every code: its two bytes as they are.
        at[0] = char(high);
        at[1] = char(low);
        out_.commit(at + 2);
        return;
    }
    for (const unsigned byte : {high, low}) {
        if (escaped(byte)) {
            *at++ = '\\';
            *at++ = byte == '\r' ? 'r' : byte == '\n' ? 'n' : char(byte);
        } else {
            *at++ = char(byte);
        }
    }
    out_.commit(at);
}

void PageContent::writeRuns(double size, double shift, bool onlyEmboldened)
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
            out_ += ')';
            appendNumber(out_, adjustment);
            out_ += '(';
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

} // namespace quillet::surface::pdf
