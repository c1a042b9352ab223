// Tables: rows laid out from the format's columns, moved whole to the next
// column or page with the header rows repeated, each part drawn as shading,
// then cell text, then its lines.
#include "surface/surface.h"

#include "common/stop_request.h"
#include "surface/border_codes.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace quillet::surface {

struct Surface::TableRow {
    bool isHeader = false;
    std::vector<std::vector<LaidLine>> cells;
    double height = 0;
};

// The rows of one table on one column or page.
struct Surface::TablePart {
    double left = 0;
    double top = 0;
    bool joinsAbove = false;   // an appended table continuing right below its predecessor
    bool joinsHeader = false;  // ... whose last row was a header row
    std::vector<std::pair<const TableRow*, double>> rows;  // row and its top

    double bottom() const { return rows.empty() ? top : rows.back().second + rows.back().first->height; }
    bool hasBodyRows() const
    {
        return std::any_of(rows.begin(), rows.end(), [](const auto& r) { return !r.first->isHeader; });
    }
};

namespace {

struct TablePens {
    Rgb colour = kBlack;
    double outerTopBottom = 0;
    double outerSides = 0;
    double inner = 0;
};

} // namespace

Surface::TableRow Surface::layoutTableRow(std::vector<Text>& cells, const std::vector<TableColumn>& columns,
                                          bool isHeader) const
{
    TableRow row;
    row.isHeader = isHeader;
    row.cells.reserve(columns.size());
    double tallest = 0;
    pollStop();
    // Each cell's text is lent to the one run of its line breaking and
    // handed back after, rather than copied.
    std::vector<StyledRun> runs{{Text(), font_, textColor_}};
    for (size_t c = 0; c < columns.size(); ++c) {
        const TableColumn& column = columns[c];
        BreakOptions options;
        options.width = column.width - 2 * kCellPaddingX;
        // A column too narrow for its padding cannot wrap usefully: clip it.
        options.wrap = column.wrap && options.width >= 1;
        options.tolerance = kWrapTolerance;
        options.align = column.align;
        runs.front().text = std::move(cells[c]);
        auto lines = breakLines(runs, options, *measurer_, font_);
        cells[c] = std::move(runs.front().text);
        double height = 0;
        for (const LaidLine& line : lines)
            height += line.height();
        tallest = std::max(tallest, height);
        row.cells.push_back(std::move(lines));
    }
    row.height = tallest + 2 * kCellPaddingY;
    return row;
}

std::optional<size_t> Surface::drawTablePart(const TablePart& part, const std::vector<TableColumn>& columns,
                                             int borderCode, std::optional<Rgb> headerShade,
                                             std::optional<Rgb> bodyShade)
{
    if (part.rows.empty())
        return std::nullopt;
    const TablePens pens{penColor_, static_cast<double>(tablePenTB_), static_cast<double>(tablePenLR_),
                         static_cast<double>(tablePen_)};
    const double left = part.left;
    double right = left;
    for (const TableColumn& column : columns)
        right += column.width;
    const double top = part.top;
    const double bottom = part.bottom();
    std::vector<DrawOp>& ops = page().ops;

    // Shading first, under everything.
    for (const auto& [row, rowTop] : part.rows) {
        std::optional<Rgb> shade = row->isHeader ? headerShade : bodyShade;
        if (shade)
            ops.push_back(RectOp{{left, rowTop, right, rowTop + row->height}, *shade, std::nullopt, kPenWidth});
    }

    // Cell text.
    for (const auto& [row, rowTop] : part.rows) {
        checkpoint();
        double cellLeft = left;
        for (size_t c = 0; c < columns.size(); ++c) {
            const TableColumn& column = columns[c];
            const auto& lines = row->cells[c];
            double textHeight = 0;
            for (const LaidLine& line : lines)
                textHeight += line.height();
            double room = row->height - 2 * kCellPaddingY;
            double y = rowTop + kCellPaddingY;
            if (column.valign == VAlign::Middle)
                y += (room - textHeight) / 2;
            else if (column.valign == VAlign::Bottom)
                y += room - textHeight;
            std::optional<TwipRect> clip;
            if (!column.wrap || column.width - 2 * kCellPaddingX < 1)
                clip = TwipRect{cellLeft, rowTop, cellLeft + column.width, rowTop + row->height};
            for (const LaidLine& line : lines) {
                emitLine(line, cellLeft + kCellPaddingX, y, clip, ops);
                y += line.height();
            }
            cellLeft += column.width;
        }
    }

    // Lines last, over the shading.
    const TableLineSet set = tableLinesFor(borderCode);
    auto line = [&](double x1, double y1, double x2, double y2, double width) {
        ops.push_back(LineOp{x1, y1, x2, y2, pens.colour, width});
    };
    const bool hasHeader = part.rows.front().first->isHeader;
    // Without a header row, the line under the header is the top edge.
    const bool drawTop = !part.joinsAbove && (set.outerTop || (!hasHeader && set.underHeader));
    if (drawTop)
        line(left, top, right, top, pens.outerTopBottom);
    // A part appended right below its predecessor joins it like any two
    // rows: the line it draws there (over its own shading) is the one this
    // border code draws between such rows.
    if (part.joinsAbove && (part.joinsHeader && !hasHeader ? set.underHeader : set.betweenRows))
        line(left, top, right, top, pens.inner);
    std::optional<size_t> closingLine;
    if (set.outerBottom) {
        closingLine = ops.size();
        line(left, bottom, right, bottom, pens.outerTopBottom);
    }
    if (set.outerSides) {
        line(left, top, left, bottom, pens.outerSides);
        line(right, top, right, bottom, pens.outerSides);
    }
    for (size_t i = 0; i + 1 < part.rows.size(); ++i) {
        const auto& [row, rowTop] = part.rows[i];
        const bool nextIsHeader = part.rows[i + 1].first->isHeader;
        double y = rowTop + row->height;
        if (row->isHeader && !nextIsHeader) {
            if (set.underHeader)
                line(left, y, right, y, pens.inner);
        } else if (set.betweenRows) {
            line(left, y, right, y, pens.inner);
        }
    }
    // A header part with no body rows still gets its line under the header
    // when that line is not already the bottom edge.
    if (hasHeader && !part.hasBodyRows() && set.underHeader && !set.outerBottom) {
        closingLine = ops.size();
        line(left, bottom, right, bottom, pens.inner);
    }
    double x = left;
    for (size_t c = 0; c < columns.size(); ++c) {
        x += columns[c].width;
        const bool last = c + 1 == columns.size();
        const bool alreadyDrawn = last ? set.outerSides : set.betweenColumns;
        if (!last && set.betweenColumns)
            line(x, top, x, bottom, pens.inner);
        else if (columns[c].rightLine && !alreadyDrawn)
            line(x, top, x, bottom, last ? pens.outerSides : pens.inner);
    }
    return closingLine;
}

void Surface::addTable(TextView format, TextView header, TextView body, const ArgValue& headerShade,
                       const ArgValue& bodyShade, const ArgValue& append)
{
    // Every argument is read before anything is drawn, so that a bad one
    // leaves the page untouched.
    const std::optional<Rgb> headerColour = shadeOf(headerShade);
    const std::optional<Rgb> bodyColour = shadeOf(bodyShade);
    const bool appending = truthOf(append, false) && lastTable_.has_value();
    const TableSeparators separators = separatorsFrom(tableSeparator_);
    const std::vector<TableColumn> columns =
        appending ? lastTable_->columns : parseTableFormat(format, separators, pageWidth_);
    std::vector<std::vector<Text>> headerCells = splitTableRows(header, separators, columns.size());
    if (appending && headerCells.empty())
        headerCells = lastTable_->headerRows;
    auto bodyCells = splitTableRows(body, separators, columns.size());
    if (headerCells.empty() && bodyCells.empty())
        return;
    if (!beginDrawing("AddTable"))
        return;
    const int borderCode = tableBorder_;

    std::vector<TableRow> headerRows;
    for (auto& cells : headerCells)
        headerRows.push_back(layoutTableRow(cells, columns, true));
    // Body rows are laid out as they are placed and kept only until their
    // part is drawn: a table of a million rows holds one page of them.
    std::deque<TableRow> partBody;

    // A table added after text on the cursor's line (a title printed with
    // PrintAtLeft, say) starts on the next line instead of over the text.
    if (lastTextLine_ && lastTextLine_->page == pageCount() && lastTextLine_->top == y_)
        y_ = lastTextLine_->bottom;
    lastTextLine_.reset();

    const bool joinsPrevious = appending && lastTable_->page == pageCount() && lastTable_->column == column_ &&
                               std::abs(lastTable_->bottom - y_) < kBreakTolerance;
    std::optional<TableMemory> previous = lastTable_;
    TablePart part;
    auto openPart = [&](bool withHeader) {
        part = TablePart{flowLeft(), y_, false, false, {}};
        if (withHeader) {
            for (const TableRow& row : headerRows) {
                part.rows.emplace_back(&row, y_);
                y_ += row.height;
            }
        }
    };
    std::optional<size_t> closingLine = previous ? previous->closingLine : std::nullopt;
    bool endsWithHeader = previous && previous->endsWithHeader;
    auto drawPart = [&] {
        if (part.rows.empty())
            return;
        if (part.joinsAbove)
            dropClosingLine(*previous);
        closingLine = drawTablePart(part, columns, borderCode, headerColour, bodyColour);
        endsWithHeader = !part.hasBodyRows();
        noteFlowBottom(part.bottom());
        part.rows.clear();
        partBody.clear();
    };
    openPart(!appending);
    part.joinsAbove = joinsPrevious;
    part.joinsHeader = joinsPrevious && previous->endsWithHeader;
    for (std::vector<Text>& cells : bodyCells) {
        checkpoint();
        TableRow next = layoutTableRow(cells, columns, false);
        std::vector<Text>().swap(cells);
        const bool startsAtTop = part.top <= flowTop() + kBreakTolerance;
        if (needsBreak(y_, next.height) && (part.hasBodyRows() || !startsAtTop)) {
            // A header left alone at the bottom goes along with the row.
            if (part.hasBodyRows())
                drawPart();
            autoBreak();
            openPart(true);
        }
        const TableRow& row = partBody.emplace_back(std::move(next));
        part.rows.emplace_back(&row, y_);
        y_ += row.height;
    }
    drawPart();

    x_ = flowLeft();
    freeCursor();
    noteFlowPosition();
    lastTable_ = TableMemory{columns, headerCells, pageCount(), column_, y_, endsWithHeader, closingLine};
}

// The bottom edge of the part an appended part continues: it goes, and the
// join is drawn as a row boundary instead.  Only a line still standing
// where it was drawn is removed.
void Surface::dropClosingLine(const TableMemory& previous)
{
    std::vector<DrawOp>& ops = page().ops;
    if (!previous.closingLine || *previous.closingLine >= ops.size())
        return;
    const auto* line = std::get_if<LineOp>(&ops[*previous.closingLine]);
    if (line && line->y1 == previous.bottom && line->y2 == previous.bottom)
        ops.erase(ops.begin() + static_cast<std::ptrdiff_t>(*previous.closingLine));
}

} // namespace quillet::surface
