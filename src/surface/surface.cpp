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

void Surface::setGrowthSink(std::function<void(size_t)> sink)
{
    growth_ = std::move(sink);
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
    forgetGrowth();
    open_ = true;
    ended_ = false;
    lastTable_.reset();
    startPage();
}

Document Surface::takeDocument()
{
    Document taken = std::move(doc_);
    doc_ = Document{};
    forgetGrowth();
    return taken;
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
    if (open_) {
        checkpoint();
        return true;
    }
    if (ended_) {
        report(u"Surface: " + fromAscii(what) + u" after the end of the document ignored");
        return false;
    }
    startDoc();
    return true;
}

// ---- What the pages hold -------------------------------------------------
//
// A run's pages count towards the memory it may use: a sheet drawing
// millions of tiny cells on huge pages would otherwise fill memory long
// before the page limit.  Operations are counted once each, as they are
// added (only those added since the last count are looked at), at the
// same places where long operations look for a stop request.

namespace {

size_t opBytes(const DrawOp& op)
{
    size_t bytes = sizeof(DrawOp);
    if (const auto* text = std::get_if<TextOp>(&op); text && text->text.capacity() > Text().capacity())
        bytes += (text->text.capacity() + 1) * sizeof(char16_t);
    return bytes;
}

} // namespace

void Surface::checkpoint()
{
    pollStop();
    countNewOps();
    reportGrowth();
}

void Surface::countNewOps()
{
    if (doc_.pages.empty())
        return;
    const std::vector<DrawOp>& ops = page().ops;
    // A table's closing line may have been taken back since.
    countedOps_ = std::min(countedOps_, ops.size());
    for (size_t i = countedOps_; i < ops.size(); ++i)
        displayBytes_ += opBytes(ops[i]);
    countedOps_ = ops.size();
}

void Surface::reportGrowth()
{
    if (growth_ && displayBytes_ - reportedBytes_ >= kGrowthReportStep) {
        growth_(displayBytes_);
        reportedBytes_ = displayBytes_;
    }
}

void Surface::forgetGrowth()
{
    displayBytes_ = 0;
    countedOps_ = 0;
    if (reportedBytes_ != 0 && growth_)
        growth_(0);
    reportedBytes_ = 0;
}

void Surface::startPage()
{
    if (pageCount() >= kMaxPages)
        throw VbError(vberr::OutOfMemory, u"Too many pages: a document holds at most " +
                                              decimalText(kMaxPages) + u" pages");
    countNewOps();
    Page fresh;
    fresh.width = pageWidth_;
    fresh.height = pageHeight_;
    fresh.orientation = orientation_;
    doc_.pages.push_back(std::move(fresh));
    countedOps_ = 0;
    displayBytes_ += sizeof(Page);
    column_ = 1;
    x_ = flowLeft();
    y_ = flowTop();
    flowFloor_ = y_;
    bands_.assign(1, ColumnBand{y_, columnCount()});
    freeCursor();
    noteFlowPosition();
    reportGrowth();
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
        y_ = columnTop();
        freeCursor();
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
    const bool leavingColumns = columns_ > 1;
    columns_ = count;
    column_ = 1;
    if (leavingColumns && open_)
        continueBelowColumns();
    if (open_) {
        // The page border draws column lines for each stretch of the page
        // with the layout that stretch was printed with.
        // A script switching back and forth without end cannot make the
        // list grow without end: past kMaxColumnBands the last one changes.
        if (!bands_.empty() && (bands_.back().top >= y_ - kBreakTolerance || bands_.size() >= kMaxColumnBands))
            bands_.back().columns = count;
        else
            bands_.push_back(ColumnBand{y_, count});
    }
    followMarginsWhileEmpty();
}

// Text in one column of a layout of several may reach lower than the
// cursor's column: a new layout starts below the lowest of them, so that
// it never runs across text already printed, and on a new page when no
// room is left.
void Surface::continueBelowColumns()
{
    const double below = std::max(flowFloor_, y_);
    if (below >= flowBottom() - kBreakTolerance) {
        finishPage();
        startPage();
        return;
    }
    y_ = below;
    x_ = flowLeft();
    flowFloor_ = below;
    noteFlowPosition();
}

void Surface::setPageBorder(int code)
{
    if (!pageBorderLinesFor(code)) {
        report(u"Surface: page border " + decimalText(code) + u" ignored");
        return;
    }
    pageBorder_ = code;
}

// ---- Fonts ----------------------------------------------------------------

void Surface::setFontName(Text name)
{
    reportUnknownFont(name);
    font_.name = std::move(name);
}

void Surface::setHeaderFontName(Text name)
{
    reportUnknownFont(name);
    headerFont_.name = std::move(name);
}

void Surface::reportUnknownFont(const Text& name)
{
    const Text key = lowerCase(name);
    if (reportedFonts_.size() >= kMaxReportedFonts ||
        std::find(reportedFonts_.begin(), reportedFonts_.end(), key) != reportedFonts_.end())
        return;
    if (auto substitute = measurer_->fallbackFor(name)) {
        reportedFonts_.push_back(key);
        report(u"Surface: font \"" + name + u"\" is not installed; printing in " + *substitute + u" instead");
    }
}

// ---- Position -------------------------------------------------------------

void Surface::setCurrentX(double twips)
{
    x_ = twips;
    free_ = false;
    placed_ = true;
}

void Surface::setCurrentY(double twips)
{
    y_ = twips;
    free_ = false;
    placed_ = true;
    yFromFlow_ = false;
    lastTextLine_.reset();  // the script chose the line itself
}

// ---- Flow geometry --------------------------------------------------------

int Surface::columnCount() const
{
    return std::max(columns_, 1);
}

double Surface::columnWidthFor(int n) const
{
    double total = pageWidth_ - marginLeft_ - marginRight_ - (n - 1) * kColumnSpacing;
    return std::max(total / n, 1.0);
}

double Surface::columnLeft(int column) const
{
    return marginLeft_ + (column - 1) * (columnWidth() + kColumnSpacing);
}

// Columns begun part-way down a page start where they were begun: the
// next column goes on from there, not over what stands above it.
double Surface::columnTop() const
{
    return bands_.empty() ? flowTop() : std::max(flowTop(), bands_.back().top);
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
        y_ = columnTop();
    } else {
        finishPage();
        startPage();
    }
    noteFlowPosition();
}

void Surface::noteFlowPosition()
{
    yFromFlow_ = true;
}

void Surface::freeCursor()
{
    free_ = true;
    placed_ = false;
}

// Text output that flowing output left below the bottom goes on at the top
// of the next column or page; placed text keeps its X there.
void Surface::moveStrandedLine(double height)
{
    if (!yFromFlow_ || !needsBreak(y_, height))
        return;
    const double keptX = x_;
    const bool wasPlaced = placed_;
    const bool wasFree = free_;
    autoBreak();
    free_ = wasFree;
    placed_ = wasPlaced;
    if (wasPlaced)
        x_ = keptX;
}

// ---- Header, footer and page border ---------------------------------------

void Surface::drawHeaderAndFooter(Page& target, int number)
{
    const LineMetrics metrics = measurer_->metrics(headerFont_);
    const double lineHeight = metrics.lineHeight();
    const double left = marginLeft_;
    const double right = target.width - marginRight_;
    // The header ends, and the footer starts, a little way off the text
    // area, so that a header underline or a table filling the page never
    // touches them.  Where the margin is too small for that, the band keeps
    // to the margin (and to the paper) rather than to the gap.
    const double gap = lineHeight * kHeaderGapLines;
    auto drawBand = [&](const Text& text, bool isHeader) {
        if (text.empty())
            return;
        auto parts = splitHeaderText(text, number);
        for (size_t p = 0; p < parts.size(); ++p) {
            const auto& lines = parts[p];
            const double height = lineHeight * static_cast<double>(lines.size());
            const double textTop = marginTop_;
            const double textBottom = target.height - marginBottom_;
            double top = isHeader ? std::min(std::max(0.0, textTop - gap - height), textTop - height)
                                  : std::max(std::min(target.height - height, textBottom + gap), textBottom);
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
    if (!lines->columns)
        return;
    // Column lines stretch by stretch: a page that went from two columns to
    // one and back gets lines only where its text stood in columns.
    for (size_t b = 0; b < bands_.size(); ++b) {
        const double bandTop = b == 0 ? top : std::max(top, bands_[b].top);
        const double bandBottom = b + 1 < bands_.size() ? std::min(bottom, bands_[b + 1].top) : bottom;
        const int n = std::max(bands_[b].columns, 1);
        if (bandBottom <= bandTop)
            continue;
        for (int k = 1; k < n; ++k) {
            double x = left + k * (columnWidthFor(n) + kColumnSpacing) - kColumnSpacing / 2;
            line(x, bandTop, x, bandBottom);
        }
    }
}

// ---- Drawing --------------------------------------------------------------

void Surface::drawLine(double x1, double y1, double x2, double y2)
{
    if (!beginDrawing("DrawLine"))
        return;
    // Made in place as a LineOp: moving in a whole DrawOp makes GCC 12 warn,
    // wrongly, that the text alternative may be read uninitialised.
    page().ops.emplace_back(std::in_place_type<LineOp>, LineOp{x1, y1, x2, y2, penColor_, kPenWidth});
}

void Surface::drawRectangle(double x1, double y1, double x2, double y2)
{
    if (!beginDrawing("DrawRectangle"))
        return;
    TwipRect rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    page().ops.push_back(RectOp{rect, brushColor_, penColor_, kPenWidth});
}

void Surface::placePicture(const QImage& image, const QByteArray& file)
{
    if (image.isNull())
        throw VbError(vberr::InvalidCall);
    if (!beginDrawing("Picture"))
        return;
    if (picture_.right <= picture_.left || picture_.bottom <= picture_.top) {
        report(u"Surface: picture rectangle is empty; picture not drawn");
        return;
    }
    page().ops.push_back(PictureOp{picture_, image, file});
}

} // namespace quillet::surface
