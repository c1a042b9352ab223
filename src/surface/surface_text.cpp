// Text output, paragraphs, rich text, measurement and text boxes.
#include "surface/surface.h"

#include "common/stop_request.h"
#include "surface/header_text.h"
#include "surface/rtf_reader.h"

#include <algorithm>

namespace quillet::surface {
namespace {

bool hasInk(const Text& text, const FontStyle& font)
{
    return font.underline || font.strikeout || text.find_first_not_of(u' ') != Text::npos;
}

} // namespace

double Surface::lineHeight() const
{
    return measurer_->metrics(font_).lineHeight();
}

void Surface::emitLine(const LaidLine& line, double left, double top, const std::optional<TwipRect>& clip,
                       std::vector<DrawOp>& out) const
{
    const double baseline = top + line.metrics.ascent;
    for (const LinePiece& piece : line.pieces) {
        if (!hasInk(piece.text, piece.font))
            continue;
        // Made in place in the page's list, field by field (no temporary
        // TextOp moved in).
        TextOp& op = std::get<TextOp>(out.emplace_back(std::in_place_type<TextOp>));
        op.x = left + piece.x;
        op.top = top;
        op.baseline = baseline;
        op.width = piece.width;
        op.text = piece.text;
        op.font = piece.font;
        op.colour = piece.colour;
        op.clip = clip;
    }
}

// Text output comes in two kinds.  Text at a position the script set (the
// aligned print members, or any text after a CurrentX/CurrentY write) is
// placed: sheets lay out rows by hand and tune every X and Y, so a placed
// text never wraps and never moves down a line or a page on its own.  Each
// of its lines is drawn where it was placed, running into the margin if it
// must, and a line break starts the next line at the same X, so a
// multi-line label stays a block.  Text at a free cursor flows: it wraps
// at the right edge of the flow (the first word of the call stays where it
// is) and its later lines move on to the next column or page.
void Surface::text(TextView text)
{
    if (text.empty() || !beginDrawing("Text"))
        return;
    // Text continuing a line that output has already drawn on stays on it.
    continuesLine_ = lastTextLine_ && lastTextLine_->page == pageCount() && lastTextLine_->top == y_;
    if (placed_)
        placedText(text);
    else
        flowingText(text);
    free_ = false;
}

void Surface::placedText(TextView text)
{
    const std::vector<Text> lines = splitHardLines(text);
    const double height = lineHeight();
    // A trailing line break only moves the cursor; it draws no line.
    const size_t drawn = lines.size() - (lines.size() > 1 && lines.back().empty() ? 1 : 0);
    // The block moves on whole when flowing output left the cursor below
    // the bottom; a Y the script set is honoured wherever it is.
    if (!continuesLine_)
        moveStrandedLine(static_cast<double>(drawn) * height);
    const double left = x_;
    const double ascent = measurer_->metrics(font_).ascent;
    for (size_t i = 0; i < lines.size(); ++i) {
        checkpoint();
        if (i > 0) {
            y_ += height;
            x_ = left;
            noteFlowPosition();
        }
        const double width = measurer_->advance(font_, lines[i]);
        if (!lines[i].empty() && hasInk(lines[i], font_))
            page().ops.push_back(TextOp{x_, y_, y_ + ascent, width, lines[i], font_, textColor_, {}});
        x_ += width;
    }
    if (!lines.back().empty())
        noteTextLine(y_ + height);
}

void Surface::flowingText(TextView text)
{
    if (!continuesLine_)
        moveStrandedLine(lineHeight());
    BreakOptions options;
    options.width = flowWidth();
    options.firstLineOffset = x_ - flowLeft();
    options.keepFirstWord = true;
    options.tolerance = kWrapTolerance;
    std::vector<StyledRun> runs{{Text(text), font_, textColor_}};
    auto lines = breakLines(runs, options, *measurer_, font_);
    for (size_t i = 0; i < lines.size(); ++i) {
        checkpoint();
        const LaidLine& line = lines[i];
        if (i > 0) {
            y_ += lines[i - 1].height();
            noteFlowPosition();
            // A trailing line break leaves the cursor where it is, even
            // below the bottom: the next output moves on if it needs to, and
            // a document ending here gets no empty page.
            const bool trailingEmptyLine = i + 1 == lines.size() && line.pieces.empty();
            if (!trailingEmptyLine && needsBreak(y_, line.height()))
                autoBreak();
        }
        emitLine(line, flowLeft(), y_, std::nullopt, page().ops);
        x_ = flowLeft() + line.endX;
        noteFlowBottom(y_ + line.height());
    }
    if (!lines.back().pieces.empty())
        noteTextLine(y_ + lines.back().height());
}

// Remembers the line text output ended on, so that a table added next
// starts below it rather than over it.
void Surface::noteTextLine(double bottom)
{
    const bool sameLine = lastTextLine_ && lastTextLine_->page == pageCount() && lastTextLine_->top == y_;
    const double lowest = sameLine ? std::max(lastTextLine_->bottom, bottom) : bottom;
    lastTextLine_ = TextLine{pageCount(), y_, lowest};
}

void Surface::paragraph(TextView text)
{
    if (!beginDrawing("Paragraph"))
        return;
    if (!text.empty() && text.front() == u'{') {
        flowParagraphs(readRtf(text, font_, textColor_));
        return;
    }
    flowParagraphs({StyledParagraph{{{Text(text), font_, textColor_}}, Align::Left}});
}

void Surface::textRtf(TextView rtf)
{
    if (!beginDrawing("TextRTF"))
        return;
    flowParagraphs(readRtf(rtf, font_, textColor_));
}

void Surface::flowParagraphs(const std::vector<StyledParagraph>& paragraphs)
{
    if (free_)
        x_ = flowLeft();
    bool firstLine = true;
    for (const StyledParagraph& paragraph : paragraphs) {
        BreakOptions options;
        options.width = flowWidth();
        options.firstLineOffset = firstLine ? x_ - flowLeft() : 0;
        options.tolerance = kWrapTolerance;
        options.align = paragraph.align;
        for (const LaidLine& line : breakLines(paragraph.runs, options, *measurer_, font_)) {
            checkpoint();
            if (needsBreak(y_, line.height()))
                autoBreak();
            emitLine(line, flowLeft(), y_, std::nullopt, page().ops);
            y_ += line.height();
            noteFlowBottom(y_);
            firstLine = false;
        }
    }
    x_ = flowLeft();
    free_ = true;
    placed_ = false;
    noteFlowPosition();
}

double Surface::textWidth(TextView text) const
{
    double widest = 0;
    for (const Text& line : splitHardLines(text)) {
        pollStop();
        widest = std::max(widest, measurer_->advance(font_, line));
    }
    return widest;
}

double Surface::textHeight(TextView text) const
{
    return static_cast<double>(splitHardLines(text).size()) * lineHeight();
}

void Surface::textBox(TextView text, double left, double top, double width, double height, const ArgValue& wrap,
                      const ArgValue& calc, const ArgValue& shade)
{
    // Read every flag first, so that a bad one fails before anything is drawn.
    const bool wrapOn = truthOf(wrap, true) && width > 0;
    const bool calcOnly = truthOf(calc, false);
    const bool shadeOn = truthOf(shade, false);

    std::vector<StyledParagraph> paragraphs;
    if (!text.empty() && text.front() == u'{')
        paragraphs = readRtf(text, font_, textColor_);
    else
        paragraphs.push_back({{{Text(text), font_, textColor_}}, Align::Left});

    std::vector<std::pair<LaidLine, double>> placed;  // line and its offset from the box top
    double textHeightTotal = 0;
    double widest = 0;
    for (const StyledParagraph& paragraph : paragraphs) {
        BreakOptions options;
        options.width = width;
        options.wrap = wrapOn;
        options.align = paragraph.align;
        for (LaidLine& line : breakLines(paragraph.runs, options, *measurer_, font_)) {
            pollStop();
            widest = std::max(widest, line.endX - line.startX);
            double offset = textHeightTotal;
            textHeightTotal += line.height();
            placed.emplace_back(std::move(line), offset);
        }
    }
    lastCalcWidth_ = widest;
    lastCalcHeight_ = textHeightTotal;
    if (calcOnly || !beginDrawing("TextBox"))
        return;

    TwipRect box{left, top, left + (width > 0 ? width : widest), top + (height > 0 ? height : textHeightTotal)};
    if (shadeOn)
        page().ops.push_back(RectOp{box, brushColor_, std::nullopt, kPenWidth});
    for (const auto& [line, offset] : placed) {
        checkpoint();
        if (top + offset >= box.bottom)
            break;  // wholly clipped
        emitLine(line, left, top + offset, box, page().ops);
    }
}

} // namespace quillet::surface
