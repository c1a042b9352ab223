// The print/preview surface: one document of pages that the print object
// draws on for a sheet script, laid out in twips (1440 per inch) from the
// top-left corner of the paper.  It keeps the page layout, the current
// position and the current fonts and colours, flows text, tables and rich
// text with word wrap and automatic page breaks, and records everything as
// drawing operations (document.h) that the renderers replay.
//
// Each property has a getter and a setter; each operation takes the
// arguments the print object passes.  Values are stored as given; layout
// clamps what it must (a flow at least 1 twip wide) so that nothing loops.
//
// Cursor rules.  The cursor is (currentX, currentY), the top-left corner of
// the next line box, plus a "free" flag: free after startDoc, newPage,
// newColumn, a paragraph, rich text and a table; not free after the script
// sets currentX/currentY and after text output.  A free cursor sends a
// paragraph to the left edge of the flow.  Lines, rectangles, text boxes and
// pictures never move the cursor.
//
// Placed and flowing text.  Once the script sets currentX or currentY, text
// output is placed: drawn exactly there on one line per line break, never
// wrapped and never split across pages, until flowing output (a paragraph,
// rich text, a table, a new column or page) frees the cursor again.  Text
// output at a free cursor flows like a paragraph's lines.
//
// Pagination.  Only flowing output breaks pages: paragraphs and rich text
// (every line), flowing text output (lines after its first) and table
// rows.  A line or row that would pass the bottom margin by more than 1 twip
// moves to the next column or page unless it already stands at the top of
// one.  Text output that starts below the bottom where flowing output left
// the cursor moves on whole; a position the script set is honoured even
// below the bottom margin.  The header, footer and page border are drawn
// when a page is finished, with the values current at that moment, so a
// header set after startDoc still reaches page 1.
#pragma once

#include "common/text.h"
#include "surface/arg_value.h"
#include "surface/document.h"
#include "surface/line_breaker.h"
#include "surface/table_format.h"
#include "surface/text_measurer.h"

#include <QImage>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace quillet::surface {

// Defaults a fresh surface holds.
inline constexpr double kLetterWidth = 12240;
inline constexpr double kLetterHeight = 15840;
inline constexpr double kDefaultMargin = 1440;
inline constexpr double kColumnSpacing = 180;
inline constexpr double kDefaultFontSize = 11.25;
inline constexpr double kDefaultHeaderFontSize = 14.25;
inline constexpr int kDefaultPageBorder = 0;
inline constexpr double kPenWidth = 0;  // hairline; scripts cannot change it
// Flowing text and paragraphs may cross the right edge by this much before a
// word wraps: our fonts' metrics differ slightly from those the sheets were
// tuned with.
inline constexpr double kWrapTolerance = 15;
// Table cells: room between the cell text and the cell's edges.
inline constexpr double kCellPaddingX = 60;
inline constexpr double kCellPaddingY = 15;
inline constexpr double kBreakTolerance = 1;
// Room between the header or footer and the text area, in lines of the
// header font.
inline constexpr double kHeaderGapLines = 0.25;
inline constexpr int kMaxPages = 10000;
// How much the pages grow between reports to the growth sink.
inline constexpr size_t kGrowthReportStep = size_t(1) << 20;
// The largest paper a PDF page can describe: 200 inches a side.
inline constexpr double kMaxPageSide = 288000;
// Unknown font names reported per document; a script inventing names
// without end gets no more lines than this.
inline constexpr size_t kMaxReportedFonts = 100;
// Changes of the column layout one page remembers for its border lines.
inline constexpr size_t kMaxColumnBands = 1000;

class Surface {
public:
    // The Qt measurer (needs a QGuiApplication); tests pass fixed metrics.
    Surface();
    explicit Surface(std::shared_ptr<const TextMeasurer> measurer);

    // Where the surface reports what it ignored (drawing after endDoc, an
    // empty picture rectangle, an out-of-range code).  Silent by default.
    void setDiagnosticSink(std::function<void(const Text&)> sink);

    // Told, roughly, how many bytes the pages hold: each time they have
    // grown by kGrowthReportStep since the last report, while output is
    // laid out, and 0 when the document is dropped or handed over.  The
    // sink may throw (a run past its memory limit) to end the operation
    // under way as a stop would; it is told again on the next growth.
    void setGrowthSink(std::function<void(size_t)> sink);

    // ---- Document
    // Drops all pages and starts page 1 with the current page size and
    // orientation; the cursor goes to the top-left margin corner, free.
    void startDoc();
    // Finishes the last page (header, footer, border).  Drawing afterwards
    // is ignored until the next startDoc; drawing before any startDoc
    // starts a document implicitly.
    void endDoc();
    bool isDocumentOpen() const { return open_; }
    void newPage();
    // Next column, or a new page after the last column.
    void newColumn();
    const Document& document() const { return doc_; }
    // Hands the pages over to their next owner (a preview) without a
    // copy, leaving the surface with none, as before any startDoc.
    Document takeDocument();
    int pageCount() const { return static_cast<int>(doc_.pages.size()); }
    int currentPage() const { return pageCount(); }  // 1-based; 0 before any document
    int currentColumn() const { return column_; }

    // ---- Page layout (twips).  Page size and orientation apply to the
    // current page while nothing has been drawn on it, otherwise from the
    // next page.  While the page is empty and the cursor free, the cursor
    // follows margin changes.  A page side outside 0..kMaxPageSide (or no
    // number at all) is error 5 and changes nothing.
    double pageWidth() const { return pageWidth_; }
    void setPageWidth(double twips);
    double pageHeight() const { return pageHeight_; }
    void setPageHeight(double twips);
    double marginLeft() const { return marginLeft_; }
    void setMarginLeft(double twips);
    double marginTop() const { return marginTop_; }
    void setMarginTop(double twips);
    double marginRight() const { return marginRight_; }
    void setMarginRight(double twips);
    double marginBottom() const { return marginBottom_; }
    void setMarginBottom(double twips);
    // Columns of equal width, kColumnSpacing apart; a count below 1 is
    // ignored.  Setting it returns to column 1; leaving a layout of several
    // columns continues below the lowest line any of them reached (on a new
    // page when none is left), so the new layout never runs across them.
    int columns() const { return columns_; }
    void setColumns(int count);
    // 0 portrait, 1 landscape; other codes are ignored.  Swaps width and
    // height when they do not match the new orientation.
    int orientation() const { return orientation_; }
    void setOrientation(int code);
    // 0..9 (see border_codes.h); other codes are ignored.
    int pageBorder() const { return pageBorder_; }
    void setPageBorder(int code);
    // "left|centre|right", %d = page number.
    const Text& header() const { return header_; }
    void setHeader(Text text) { header_ = std::move(text); }
    const Text& footer() const { return footer_; }
    void setFooter(Text text) { footer_ = std::move(text); }
    const Text& headerFontName() const { return headerFont_.name; }
    // A font name that is neither known nor installed prints in Liberation
    // Sans; the first use of each such name is reported to the diagnostic
    // sink, naming the substitute.
    void setHeaderFontName(Text name);
    double headerFontSize() const { return headerFont_.size; }
    void setHeaderFontSize(double points) { headerFont_.size = points; }
    bool headerFontBold() const { return headerFont_.bold; }
    void setHeaderFontBold(bool on) { headerFont_.bold = on; }
    bool headerFontItalic() const { return headerFont_.italic; }
    void setHeaderFontItalic(bool on) { headerFont_.italic = on; }
    bool headerFontUnderline() const { return headerFont_.underline; }
    void setHeaderFontUnderline(bool on) { headerFont_.underline = on; }
    Rgb headerColor() const { return headerColor_; }
    void setHeaderColor(Rgb colour) { headerColor_ = colour & 0xFFFFFFu; }

    // ---- Position (twips, never clamped)
    double currentX() const { return x_; }
    void setCurrentX(double twips);
    double currentY() const { return y_; }
    void setCurrentY(double twips);
    bool isCursorFree() const { return free_; }

    // ---- Text font
    const Text& fontName() const { return font_.name; }
    void setFontName(Text name);
    double fontSize() const { return font_.size; }
    void setFontSize(double points) { font_.size = points; }
    bool fontBold() const { return font_.bold; }
    void setFontBold(bool on) { font_.bold = on; }
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on) { font_.italic = on; }
    bool fontUnderline() const { return font_.underline; }
    void setFontUnderline(bool on) { font_.underline = on; }
    Rgb textColor() const { return textColor_; }
    void setTextColor(Rgb colour) { textColor_ = colour & 0xFFFFFFu; }
    const FontStyle& font() const { return font_; }
    // Single line spacing of the current font.
    double lineHeight() const;

    // ---- Text output
    // Text at the cursor without starting a paragraph; x advances, y stays
    // on the line.  Placed text (see above): a line break starts the next
    // line one line down at the X the call started at, nothing wraps, and
    // all lines stay on the page.  Flowing text: line breaks return to the
    // left edge, later words wrap at the right edge (the first word of the
    // call never does) and later lines may move to the next column or page.
    // A trailing line break below the bottom margin leaves the cursor there
    // (readable) until the next output moves on.  Empty text does nothing.
    void text(TextView text);
    // A paragraph: starts at the left edge when the cursor is free, wraps
    // between the flow's edges, ends with the cursor at the left edge below
    // its last line, free.  An empty paragraph is one blank line.  Text
    // starting with "{" is rich text.
    void paragraph(TextView text);
    // Rich text (RTF subset, see rtf_reader.h), laid out like a paragraph.
    void textRtf(TextView rtf);
    // Unwrapped measures in the current font: the widest line's advance;
    // the number of lines times the line height (empty text: 0 wide, one
    // line high).  Exactly what text output then draws.
    double textWidth(TextView text) const;
    double textHeight(TextView text) const;
    // Text in the box (left, top) + (width, height), clipped to it.  wrap
    // (default true) wraps at the box width, calc (default false) measures
    // only, into lastCalcWidth/Height; shade (default false) fills the box
    // with the brush colour first.  A height of 0 or less is as tall as the
    // text; a width of 0 or less as wide as its widest line (no wrap).
    // The cursor does not move and the page never breaks.
    void textBox(TextView text, double left, double top, double width, double height,
                 const ArgValue& wrap = {}, const ArgValue& calc = {}, const ArgValue& shade = {});
    double lastCalcWidth() const { return lastCalcWidth_; }
    double lastCalcHeight() const { return lastCalcHeight_; }

    // ---- Drawing (colours captured at the call; the cursor stays)
    Rgb brushColor() const { return brushColor_; }
    void setBrushColor(Rgb colour) { brushColor_ = colour & 0xFFFFFFu; }
    Rgb penColor() const { return penColor_; }
    void setPenColor(Rgb colour) { penColor_ = colour & 0xFFFFFFu; }
    void drawLine(double x1, double y1, double x2, double y2);
    // Two corners in any order; filled with the brush, outlined with the pen.
    void drawRectangle(double x1, double y1, double x2, double y2);

    // ---- Tables
    // format: one entry per column (table_format.h); header and body: cells
    // divided by the first character of the table separator, rows by its
    // second.  headerShade/bodyShade: a colour number paints behind those
    // rows (see shadeOf: 0, False, omitted, Empty, Null or "" paint
    // nothing).  append true continues the previous table's columns without
    // its header at the start; right below its predecessor, the join is
    // drawn like any row boundary.  The table starts at the flow's left edge
    // at the cursor's y, or below the line when text output has drawn on
    // it; rows move whole to the next column or page, where the header rows
    // are repeated.  Afterwards the cursor is at the left edge below the
    // last row, free.  Error 13 for a shade or append value of the wrong kind,
    // error 5 for a format of more than kMaxTableColumns columns.
    void addTable(TextView format, TextView header, TextView body, const ArgValue& headerShade,
                  const ArgValue& bodyShade, const ArgValue& append);
    // 0..11 (see border_codes.h), sampled when a table is added.
    int tableBorder() const { return tableBorder_; }
    void setTableBorder(int code) { tableBorder_ = code; }
    const Text& tableSeparator() const { return tableSeparator_; }
    void setTableSeparator(Text separators) { tableSeparator_ = std::move(separators); }
    // Line widths in twips (0 = hairline): inner lines, top and bottom
    // edges, left and right edges.
    int tablePen() const { return tablePen_; }
    void setTablePen(int twips) { tablePen_ = twips; }
    int tablePenTB() const { return tablePenTB_; }
    void setTablePenTB(int twips) { tablePenTB_ = twips; }
    int tablePenLR() const { return tablePenLR_; }
    void setTablePenLR(int twips) { tablePenLR_ = twips; }

    // ---- Pictures
    double pictureX1() const { return picture_.left; }
    void setPictureX1(double twips) { picture_.left = twips; }
    double pictureY1() const { return picture_.top; }
    void setPictureY1(double twips) { picture_.top = twips; }
    double pictureX2() const { return picture_.right; }
    void setPictureX2(double twips) { picture_.right = twips; }
    double pictureY2() const { return picture_.bottom; }
    void setPictureY2(double twips) { picture_.bottom = twips; }
    // Stretches the image into the picture rectangle.  An empty rectangle
    // draws nothing (reported to the diagnostic sink); a null image is
    // error 5.
    void placePicture(const QImage& image, const QByteArray& file = {});

private:
    // What an appended table carries on from the previous one.
    struct TableMemory {
        std::vector<TableColumn> columns;
        std::vector<std::vector<Text>> headerRows;
        int page = 0;
        int column = 1;
        double bottom = 0;
        bool endsWithHeader = false;
        // The line drawn along the bottom of the last part, which a part
        // appended right below replaces with its own row boundary.
        std::optional<size_t> closingLine;
    };
    // The line text output last drew on: a table added on it starts below.
    struct TextLine {
        int page = 0;
        double top = 0;
        double bottom = 0;
    };
    // A stretch of the page laid out with one column count, from `top` to
    // the next band (or the bottom of the flow); the page border draws its
    // column lines band by band.
    struct ColumnBand {
        double top = 0;
        int columns = 1;
    };
    struct TablePart;
    struct TableRow;
    // Lends `cells` out while it works; they are as they were after.
    TableRow layoutTableRow(std::vector<Text>& cells, const std::vector<TableColumn>& columns,
                            bool isHeader) const;
    // Returns the index of the line drawn along the part's bottom, if any.
    std::optional<size_t> drawTablePart(const TablePart& part, const std::vector<TableColumn>& columns,
                                        int borderCode, std::optional<Rgb> headerShade,
                                        std::optional<Rgb> bodyShade);
    void dropClosingLine(const TableMemory& previous);

    // Document and pages
    bool beginDrawing(const char* what);
    // Where long operations look up: ends them when the run is asked to
    // stop, and counts what the pages grew by (reporting to the growth
    // sink, which may throw).
    void checkpoint();
    void countNewOps();
    void reportGrowth();
    void forgetGrowth();
    void startPage();
    void finishPage();
    Page& page() { return doc_.pages.back(); }
    bool pageIsEmpty() const;
    void applyPageSizeToEmptyPage();
    void followMarginsWhileEmpty();
    void drawHeaderAndFooter(Page& page, int number);
    void drawPageBorder(Page& page);
    void report(const Text& message) const;
    void reportUnknownFont(const Text& name);

    // Flow geometry of the current column
    int columnCount() const;
    double columnWidth() const { return columnWidthFor(columnCount()); }
    double columnWidthFor(int columns) const;
    double columnLeft(int column) const;
    double flowLeft() const { return columnLeft(column_); }
    double flowWidth() const { return columnWidth(); }
    double flowTop() const { return marginTop_; }
    double columnTop() const;
    double flowBottom() const;
    bool needsBreak(double top, double height) const;
    void autoBreak();
    void noteFlowPosition();
    void noteFlowBottom(double bottom) { flowFloor_ = std::max(flowFloor_, bottom); }
    void freeCursor();
    void moveStrandedLine(double height);
    void continueBelowColumns();

    // Text
    void placedText(TextView text);
    void flowingText(TextView text);
    void noteTextLine(double bottom);
    void flowParagraphs(const std::vector<StyledParagraph>& paragraphs);
    void emitLine(const LaidLine& line, double left, double top, const std::optional<TwipRect>& clip,
                  std::vector<DrawOp>& out) const;

    std::shared_ptr<const TextMeasurer> measurer_;
    std::function<void(const Text&)> diagnostics_;
    std::function<void(size_t)> growth_;
    // Bytes counted for the pages, the operations of the current page
    // counted so far, and the count last reported to the growth sink.
    size_t displayBytes_ = 0;
    size_t countedOps_ = 0;
    size_t reportedBytes_ = 0;

    Document doc_;
    bool open_ = false;
    bool ended_ = false;

    double pageWidth_ = kLetterWidth;
    double pageHeight_ = kLetterHeight;
    int orientation_ = kPortrait;
    double marginLeft_ = kDefaultMargin;
    double marginTop_ = kDefaultMargin;
    double marginRight_ = kDefaultMargin;
    double marginBottom_ = kDefaultMargin;
    int columns_ = 1;
    int column_ = 1;
    int pageBorder_ = kDefaultPageBorder;
    Text header_;
    Text footer_;
    FontStyle headerFont_{u"Arial", kDefaultHeaderFontSize};
    Rgb headerColor_ = kBlack;

    double x_ = kDefaultMargin;
    double y_ = kDefaultMargin;
    bool free_ = true;
    // Whether the script set the position since flowing output last freed
    // the cursor: text output is then placed, not flowed.
    bool placed_ = false;
    // Whether y is where output left it (not set by the script).  Text
    // output then moves on to the next column or page when its lines would
    // pass the bottom; a y the script set is honoured even below the
    // bottom margin.
    bool yFromFlow_ = true;
    std::optional<TextLine> lastTextLine_;
    bool continuesLine_ = false;  // the text being output continues a drawn line
    // The lowest point flowing output reached on this page, in any column.
    double flowFloor_ = kDefaultMargin;
    std::vector<ColumnBand> bands_;

    FontStyle font_{u"Arial", kDefaultFontSize};
    Rgb textColor_ = kBlack;
    Rgb brushColor_ = kBlack;
    Rgb penColor_ = kBlack;

    int tableBorder_ = 7;
    Text tableSeparator_ = u"|;";
    int tablePen_ = 0;
    int tablePenTB_ = 0;
    int tablePenLR_ = 0;
    std::optional<TableMemory> lastTable_;

    std::vector<Text> reportedFonts_;  // lower case

    TwipRect picture_;
    double lastCalcWidth_ = 0;
    double lastCalcHeight_ = 0;
};

} // namespace quillet::surface
