#include "surface/surface.h"

#include "common/stop_request.h"
#include "common/vb_error.h"
#include "surface/border_codes.h"
#include "surface/header_text.h"
#include "surface/qt_text_measurer.h"

#include <algorithm>
#include <cmath>

namespace quillet::surface {

Surface::Surface() : Surface(qtTextMeasurer()) {}

Surface::Surface(std::shared_ptr<const TextMeasurer> measurer) : measurer_(std::move(measurer)) {}

void Surface::setDiagnosticSink(std::function<void(const Text&)> sink)
{
    diagnostics_ = std::move(sink);
}

void Surface::report(const Text& message) const
{
    if (diagnostics_)
        diagnostics_(message);
}

// ---- Document -------------------------------------------------------------

void Surface::startDoc()
{
    doc_.pages.clear();
    open_ = true;
    ended_ = false;
    lastTable_.reset();
    startPage();
}

void Surface::endDoc()
{
    if (!open_)
        return;
    finishPage();
    open_ = false;
    ended_ = true;
}

bool Surface::beginDrawing(const char* what)
{
    if (open_)
        return true;
    if (ended_) {
        report(u"Surface: " + fromAscii(what) + u" after the end of the document ignored");
        return false;
    }
    startDoc();
    return true;
}

void Surface::startPage()
{
    if (pageCount() >= kMaxPages)
        throw VbError(vberr::OutOfMemory, u"Too many pages: a document holds at most " +
                                              decimalText(kMaxPages) + u" pages");
    Page fresh;
    fresh.width = pageWidth_;
    fresh.height = pageHeight_;
    fresh.orientation = orientation_;
    doc_.pages.push_back(std::move(fresh));
    column_ = 1;
    x_ = flowLeft();
    y_ = flowTop();
    free_ = true;
    noteFlowPosition();
}

void Surface::finishPage()
{
    Page& current = page();
    drawHeaderAndFooter(current, pageCount());
    drawPageBorder(current);
}

void Surface::newPage()
{
    if (!beginDrawing("NewPage"))
        return;
    finishPage();
    startPage();
}

void Surface::newColumn()
{
    if (!beginDrawing("NewColumn"))
        return;
    if (column_ < columnCount()) {
        ++column_;
        x_ = flowLeft();
        y_ = flowTop();
        free_ = true;
        noteFlowPosition();
    } else {
        newPage();
    }
}

bool Surface::pageIsEmpty() const
{
    return open_ && !doc_.pages.empty() && doc_.pages.back().ops.empty();
}

// ---- Page layout ----------------------------------------------------------

void Surface::applyPageSizeToEmptyPage()
{
    if (!pageIsEmpty())
        return;
    page().width = pageWidth_;
    page().height = pageHeight_;
    page().orientation = orientation_;
}

void Surface::followMarginsWhileEmpty()
{
    if (pageIsEmpty() && free_) {
        x_ = flowLeft();
        y_ = flowTop();
    }
}

namespace {

void checkPageSide(double twips, const char16_t* side)
{
    if (!(twips >= 0 && twips <= kMaxPageSide))
        throw VbError(vberr::InvalidCall, u"Invalid procedure call or argument: the page " + Text(side) +
                                              u" must be between 0 and 288000 twips (200 inches)");
}

} // namespace

void Surface::setPageWidth(double twips)
{
    checkPageSide(twips, u"width");
    pageWidth_ = twips;
    applyPageSizeToEmptyPage();
    followMarginsWhileEmpty();
}

void Surface::setPageHeight(double twips)
{
    checkPageSide(twips, u"height");
    pageHeight_ = twips;
    applyPageSizeToEmptyPage();
}

void Surface::setOrientation(int code)
{
    if (code != kPortrait && code != kLandscape) {
        report(u"Surface: orientation " + decimalText(code) + u" ignored");
        return;
    }
    orientation_ = code;
    bool wide = pageWidth_ > pageHeight_;
    if (wide != (code == kLandscape))
        std::swap(pageWidth_, pageHeight_);
    applyPageSizeToEmptyPage();
    followMarginsWhileEmpty();
}

void Surface::setMarginLeft(double twips)
{
    marginLeft_ = twips;
    followMarginsWhileEmpty();
}

void Surface::setMarginTop(double twips)
{
    marginTop_ = twips;
    followMarginsWhileEmpty();
}

void Surface::setMarginRight(double twips)
{
    marginRight_ = twips;
    followMarginsWhileEmpty();
}

void Surface::setMarginBottom(double twips)
{
    marginBottom_ = twips;
}

void Surface::setColumns(int count)
{
    if (count < 1) {
        report(u"Surface: column count " + decimalText(count) + u" ignored");
        return;
    }
    columns_ = count;
    column_ = 1;
    followMarginsWhileEmpty();
}

void Surface::setPageBorder(int code)
{
    if (!pageBorderLinesFor(code)) {
        report(u"Surface: page border " + decimalText(code) + u" ignored");
        return;
    }
    pageBorder_ = code;
}

// ---- Position -------------------------------------------------------------

void Surface::setCurrentX(double twips)
{
    x_ = twips;
    free_ = false;
    xSetByScript_ = true;
}

void Surface::setCurrentY(double twips)
{
    y_ = twips;
    free_ = false;
    yFromFlow_ = false;
}

// ---- Flow geometry --------------------------------------------------------

int Surface::columnCount() const
{
    return std::max(columns_, 1);
}

double Surface::columnWidth() const
{
    const int n = columnCount();
    double total = pageWidth_ - marginLeft_ - marginRight_ - (n - 1) * kColumnSpacing;
    return std::max(total / n, 1.0);
}

double Surface::columnLeft(int column) const
{
    return marginLeft_ + (column - 1) * (columnWidth() + kColumnSpacing);
}

double Surface::flowBottom() const
{
    double height = doc_.pages.empty() ? pageHeight_ : doc_.pages.back().height;
    return height - marginBottom_;
}

bool Surface::needsBreak(double top, double height) const
{
    return top + height > flowBottom() + kBreakTolerance && top > flowTop() + kBreakTolerance;
}

void Surface::autoBreak()
{
    if (column_ < columnCount()) {
        ++column_;
        x_ = flowLeft();
        y_ = flowTop();
    } else {
        finishPage();
        startPage();
    }
    noteFlowPosition();
}

void Surface::noteFlowPosition()
{
    yFromFlow_ = true;
    xSetByScript_ = false;
}

void Surface::moveStrandedLine(double height)
{
    if (!yFromFlow_ || !needsBreak(y_, height))
        return;
    const double keptX = x_;
    const bool keepX = xSetByScript_;
    const bool wasFree = free_;
    autoBreak();
    free_ = wasFree;
    if (keepX) {
        x_ = keptX;
        xSetByScript_ = true;
    }
}

// ---- Header, footer and page border ---------------------------------------

void Surface::drawHeaderAndFooter(Page& target, int number)
{
    const LineMetrics metrics = measurer_->metrics(headerFont_);
    const double lineHeight = metrics.lineHeight();
    const double left = marginLeft_;
    const double right = target.width - marginRight_;
    auto drawBand = [&](const Text& text, bool isHeader) {
        if (text.empty())
            return;
        auto parts = splitHeaderText(text, number);
        for (size_t p = 0; p < parts.size(); ++p) {
            const auto& lines = parts[p];
            double top = isHeader ? marginTop_ - lineHeight * static_cast<double>(lines.size())
                                  : target.height - marginBottom_;
            for (const Text& line : lines) {
                pollStop();
                double width = measurer_->advance(headerFont_, line);
                double x = p == 0 ? left : p == 1 ? left + (right - left - width) / 2 : right - width;
                if (!line.empty())
                    target.ops.push_back(TextOp{x, top, top + metrics.ascent, width, line, headerFont_, headerColor_, {}});
                top += lineHeight;
            }
        }
    };
    drawBand(header_, true);
    drawBand(footer_, false);
}

void Surface::drawPageBorder(Page& target)
{
    auto lines = pageBorderLinesFor(pageBorder_);
    if (!lines)
        return;
    const double left = marginLeft_;
    const double right = target.width - marginRight_;
    const double top = marginTop_;
    const double bottom = target.height - marginBottom_;
    auto line = [&](double x1, double y1, double x2, double y2) {
        target.ops.emplace_back(LineOp{x1, y1, x2, y2, penColor_, kPenWidth});
    };
    if (lines->top)
        line(left, top, right, top);
    if (lines->bottom)
        line(left, bottom, right, bottom);
    if (lines->sides) {
        line(left, top, left, bottom);
        line(right, top, right, bottom);
    }
    if (lines->columns) {
        for (int k = 1; k < columnCount(); ++k) {
            double x = columnLeft(k) + columnWidth() + kColumnSpacing / 2;
            line(x, top, x, bottom);
        }
    }
}

// ---- Drawing --------------------------------------------------------------

void Surface::drawLine(double x1, double y1, double x2, double y2)
{
    if (!beginDrawing("DrawLine"))
        return;
    page().ops.push_back(LineOp{x1, y1, x2, y2, penColor_, kPenWidth});
}

void Surface::drawRectangle(double x1, double y1, double x2, double y2)
{
    if (!beginDrawing("DrawRectangle"))
        return;
    TwipRect rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    page().ops.push_back(RectOp{rect, brushColor_, penColor_, kPenWidth});
}

void Surface::placePicture(const QImage& image)
{
    if (image.isNull())
        throw VbError(vberr::InvalidCall);
    if (!beginDrawing("Picture"))
        return;
    if (picture_.right <= picture_.left || picture_.bottom <= picture_.top) {
        report(u"Surface: picture rectangle is empty; picture not drawn");
        return;
    }
    page().ops.push_back(PictureOp{picture_, image});
}

} // namespace quillet::surface
