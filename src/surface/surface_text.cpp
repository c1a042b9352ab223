// Text output, paragraphs, rich text, measurement and text boxes.
#include "surface/surface.h"

#include "common/stop_request.h"
#include "surface/header_text.h"
#include "surface/rtf_reader.h"

#include <algorithm>

namespace quillet::surface {
namespace {

bool hasInk(const LinePiece& piece)
{
    return piece.font.underline || piece.font.strikeout || piece.text.find_first_not_of(u' ') != Text::npos;
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
        if (hasInk(piece))
            out.push_back(TextOp{left + piece.x, top, baseline, piece.width, piece.text, piece.font, piece.colour, clip});
    }
}

void Surface::text(TextView text)
{
    if (text.empty() || !beginDrawing("Text"))
        return;
    moveStrandedLine(lineHeight());
    BreakOptions options;
    options.width = flowWidth();
    options.firstLineOffset = x_ - flowLeft();
    options.keepFirstWord = true;
    options.tolerance = kWrapTolerance;
    std::vector<StyledRun> runs{{Text(text), font_, textColor_}};
    auto lines = breakLines(runs, options, *measurer_, font_);
    for (size_t i = 0; i < lines.size(); ++i) {
        pollStop();
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
    }
    xSetByScript_ = false;
    free_ = false;
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
            pollStop();
            if (needsBreak(y_, line.height()))
                autoBreak();
            emitLine(line, flowLeft(), y_, std::nullopt, page().ops);
            y_ += line.height();
            firstLine = false;
        }
    }
    x_ = flowLeft();
    free_ = true;
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
        pollStop();
        if (top + offset >= box.bottom)
            break;  // wholly clipped
        emitLine(line, left, top + offset, box, page().ops);
    }
}

} // namespace quillet::surface
