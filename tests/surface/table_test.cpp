// Tables: the format syntax, rows and cells, layout and cursor, border
// codes, pens, shading, page breaks with the header repeated, append.
#include "fake_measurer.h"

#include "surface/table_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace quillet::surface {
namespace {

using testing::fakeSurface;
using testing::opsOf;

constexpr double kRow = 240 + 30;  // one line plus the vertical padding
const ArgValue kNone = ArgValue::omitted();

using TableLayout = testing::SurfaceTest;
using TableBorders = testing::SurfaceTest;
using TablePaging = testing::SurfaceTest;
using TableShading = testing::SurfaceTest;
using TableAppend = testing::SurfaceTest;

TEST(TableFormat, FlagsWidthsAndUnits)
{
    auto columns = parseTableFormat(u"<2880|>1800|^|=~!+_500", {}, 12240);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].align, Align::Left);
    EXPECT_DOUBLE_EQ(columns[0].width, 2880);
    EXPECT_EQ(columns[1].align, Align::Right);
    EXPECT_EQ(columns[2].align, Align::Center);
    EXPECT_DOUBLE_EQ(columns[2].width, kDefaultColumnWidth);
    EXPECT_EQ(columns[3].align, Align::Justify);
    EXPECT_FALSE(columns[3].wrap);
    EXPECT_TRUE(columns[3].rightLine);
    EXPECT_EQ(columns[3].valign, VAlign::Bottom);  // the later of + and _
    EXPECT_DOUBLE_EQ(columns[3].width, 500);

    columns = parseTableFormat(u"1in|2.54cm|10pt|50%|4pix|-3|1.5 twip", {}, 12240);
    ASSERT_EQ(columns.size(), 7u);
    EXPECT_DOUBLE_EQ(columns[0].width, 1440);
    EXPECT_NEAR(columns[1].width, 1440, 1e-9);
    EXPECT_DOUBLE_EQ(columns[2].width, 200);
    EXPECT_DOUBLE_EQ(columns[3].width, 6120);
    EXPECT_DOUBLE_EQ(columns[4].width, 60);
    EXPECT_DOUBLE_EQ(columns[5].width, 0);
    EXPECT_DOUBLE_EQ(columns[6].width, 1.5);
}

TEST(TableFormat, TrailingSeparatorAddsNoColumnAndTooManyColumnsFail)
{
    EXPECT_EQ(parseTableFormat(u"<1000|>1000;", {}, 12240).size(), 2u);
    EXPECT_EQ(parseTableFormat(u"<1000|>1000|", {}, 12240).size(), 2u);
    EXPECT_EQ(parseTableFormat(u"||", {}, 12240).size(), 2u);
    EXPECT_EQ(parseTableFormat(u"", {}, 12240).size(), 1u);
    EXPECT_EQ(parseTableFormat(u"<1000#>1000", separatorsFrom(u"#/"), 12240).size(), 2u);
    EXPECT_THROW(parseTableFormat(Text(kMaxTableColumns, u'|') + u"x", {}, 12240), VbError);
}

TEST(TableFormat, WidthsBeyondThe32BitRangeOverflow)
{
    EXPECT_DOUBLE_EQ(parseTableFormat(u"2147483647", {}, 12240)[0].width, 2147483647);
    for (const char16_t* format : {u"2147483648", u"1e308in", u"<1000|1e30%"}) {
        try {
            parseTableFormat(format, {}, 12240);
            ADD_FAILURE() << toUtf8(format);
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), vberr::Overflow) << toUtf8(format);
        }
    }
}

TEST(TableRows, SeparatorsMissingAndExtraCells)
{
    auto rows = splitTableRows(u"a|b;c;d|e|f;", {}, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (std::vector<Text>{u"c", u""}));
    EXPECT_EQ(rows[2], (std::vector<Text>{u"d", u"e"}));
    EXPECT_TRUE(splitTableRows(u"", {}, 2).empty());
    rows = splitTableRows(u"a#b/c#d", separatorsFrom(u"#/"), 2);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], u"d");
    EXPECT_EQ(separatorsFrom(u"#").row, u';');
}

TEST_F(TableLayout, StartsAtTheFlowEdgeAtTheCursorLineAndEndsBelowTheLastRow)
{
    s->setCurrentX(5000);
    s->setCurrentY(3000);
    s->addTable(u"<2000|>2000|^2000", u"Name|Qty|Note", u"ab|12|x;cd|3|yy;", kNone, kNone, kNone);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_DOUBLE_EQ(texts[0].x, 1440 + 60);  // left-aligned header cell
    EXPECT_DOUBLE_EQ(texts[0].top, 3000 + 15);
    EXPECT_DOUBLE_EQ(texts[4].x, 3440 + 2000 - 60 - 200);  // right-aligned "12"
    EXPECT_DOUBLE_EQ(texts[5].x, 5440 + (2000 - 100) / 2);  // centred "x"
    EXPECT_DOUBLE_EQ(texts[6].top, 3000 + 2 * kRow + 15);
    EXPECT_DOUBLE_EQ(s->currentX(), 1440);
    EXPECT_DOUBLE_EQ(s->currentY(), 3000 + 3 * kRow);
    EXPECT_TRUE(s->isCursorFree());
}

TEST_F(TableLayout, RowHeightFollowsTheTallestCellAndVerticalAlignment)
{
    // 620 wide minus 120 padding: five characters a line.
    s->addTable(u"<620|+1000|_1000|~620", u"", u"aaaa bbbb cccc|m|b|long text here\r\nx", kNone, kNone, kNone);
    auto texts = textsOn();
    const double rowHeight = 3 * 240 + 30;
    EXPECT_DOUBLE_EQ(s->currentY(), 1440 + rowHeight);
    auto find = [&](const Text& t) {
        for (const TextOp& op : texts)
            if (op.text == t)
                return op;
        ADD_FAILURE() << "missing text";
        return TextOp{};
    };
    EXPECT_DOUBLE_EQ(find(u"cccc").top, 1440 + 15 + 480);
    EXPECT_DOUBLE_EQ(find(u"m").top, 1440 + 15 + 240);  // centred in three lines
    EXPECT_DOUBLE_EQ(find(u"b").top, 1440 + 15 + 480);  // at the bottom
    TextOp clipped = find(u"long text here");
    ASSERT_TRUE(clipped.clip.has_value());  // "~": one line, clipped to the cell
    EXPECT_DOUBLE_EQ(clipped.clip->left, 1440 + 620 + 2000);
    EXPECT_DOUBLE_EQ(find(u"x").top, 1440 + 15 + 240);  // a line break inside the cell
}

TEST_F(TableLayout, NothingToDrawLeavesEverythingAlone)
{
    s->setCurrentY(5000);
    s->addTable(u"<1000", u"", u"", kNone, kNone, kNone);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
    EXPECT_DOUBLE_EQ(s->currentY(), 5000);
    EXPECT_FALSE(s->isCursorFree());
}

// Names the lines of a 2-column table (1000 each) at the top margin with
// one header row and two body rows.
std::set<std::string> lineNames(const Page& page, bool withHeader)
{
    const double left = 1440, right = 3440, middle = 2440, top = 1440;
    const double bottom = top + (withHeader ? 3 : 2) * kRow;
    std::set<std::string> names;
    for (const LineOp& l : opsOf<LineOp>(page)) {
        auto eq = [](double a, double b) { return std::abs(a - b) < 1e-6; };
        if (eq(l.y1, l.y2) && eq(l.x1, left) && eq(l.x2, right)) {
            if (eq(l.y1, top))
                names.insert("OT");
            else if (eq(l.y1, bottom))
                names.insert("OB");
            else if (withHeader && eq(l.y1, top + kRow))
                names.insert("HB");
            else
                names.insert("RS");
        } else if (eq(l.x1, l.x2) && eq(l.y1, top) && eq(l.y2, bottom)) {
            names.insert(eq(l.x1, left) ? "OL" : eq(l.x1, right) ? "OR" : eq(l.x1, middle) ? "CS" : "?");
        } else {
            names.insert("?");
        }
    }
    return names;
}

TEST_F(TableBorders, EachCodeDrawsItsLines)
{
    using S = std::set<std::string>;
    const S box{"OT", "OB", "OL", "OR"};
    auto with = [](S s, std::initializer_list<const char*> more) {
        for (const char* m : more)
            s.insert(m);
        return s;
    };
    struct Case {
        int code;
        S withHeader;
        S withoutHeader;
    };
    const std::vector<Case> cases = {
        {0, {}, {}},
        {1, {"HB", "OB"}, {"OT", "OB"}},
        {2, {"OT", "HB"}, {"OT"}},
        {3, {"OT", "HB", "OB"}, {"OT", "OB"}},
        {4, box, box},
        {5, {"CS"}, {"CS"}},
        {6, {"CS", "OT", "HB", "OB"}, {"CS", "OT", "OB"}},
        {7, with(box, {"HB", "RS", "CS"}), with(box, {"RS", "CS"})},
        {8, with(box, {"HB", "RS"}), with(box, {"RS"})},
        {9, with(box, {"HB", "CS"}), with(box, {"CS"})},
        {10, {"HB"}, {"OT"}},
        {11, {"HB", "RS"}, {"OT", "RS"}},
        {12, {}, {}},
        {-1, {}, {}},
    };
    for (const Case& c : cases) {
        auto s = fakeSurface();
        s->setTableBorder(c.code);
        s->addTable(u"1000|1000", u"h1|h2", u"a|b;c|d", kNone, kNone, kNone);
        EXPECT_EQ(lineNames(s->document().pages[0], true), c.withHeader) << "code " << c.code;
        s->startDoc();
        s->addTable(u"1000|1000", u"", u"a|b;c|d", kNone, kNone, kNone);
        EXPECT_EQ(lineNames(s->document().pages[0], false), c.withoutHeader) << "code " << c.code << " no header";
    }
}

TEST_F(TableBorders, BangColumnsAlwaysGetTheirRightLine)
{
    s->setTableBorder(0);
    s->addTable(u"!1000|!1000", u"", u"a|b;c|d", kNone, kNone, kNone);
    EXPECT_EQ(lineNames(s->document().pages[0], false), (std::set<std::string>{"CS", "OR"}));
    s->startDoc();
    s->setTableBorder(7);  // already drawn lines are not doubled
    s->addTable(u"!1000|!1000", u"", u"a|b;c|d", kNone, kNone, kNone);
    EXPECT_EQ(opsOf<LineOp>(s->document().pages[0]).size(), 6u);
}

TEST_F(TableBorders, PensGiveEdgeAndInnerWidthsInThePenColourOfTheCall)
{
    s->setTablePenTB(30);
    s->setTablePenLR(20);
    s->setTablePen(10);
    s->setPenColor(0x0000FF);
    s->addTable(u"1000|1000", u"h|h", u"a|b;c|d", kNone, kNone, kNone);
    s->setPenColor(0);
    for (const LineOp& l : opsOf<LineOp>(s->document().pages[0])) {
        EXPECT_EQ(l.colour, 0x0000FFu);
        bool horizontal = l.y1 == l.y2;
        bool outerH = horizontal && (l.y1 == 1440 || l.y1 == 1440 + 3 * kRow);
        bool outerV = !horizontal && (l.x1 == 1440 || l.x1 == 3440);
        EXPECT_DOUBLE_EQ(l.width, outerH ? 30 : outerV ? 20 : 10);
    }
}

TEST_F(TablePaging, RowsMoveWholeAndTheHeaderRepeats)
{
    const double y0 = 14400 - 3 * kRow;  // room for the header and two rows
    s->setCurrentY(y0);
    s->addTable(u"1000|1000", u"H1|H2", u"a|b;c|d;e|f;g|h", kNone, kNone, kNone);
    ASSERT_EQ(s->pageCount(), 2);
    auto first = textsOn();
    auto second = textsOn(1);
    ASSERT_EQ(first.size(), 6u);
    ASSERT_EQ(second.size(), 6u);
    EXPECT_EQ(second[0].text, u"H1");
    EXPECT_DOUBLE_EQ(second[0].top, 1440 + 15);
    EXPECT_EQ(second[2].text, u"e");
    EXPECT_DOUBLE_EQ(second[2].top, 1440 + kRow + 15);
    EXPECT_DOUBLE_EQ(s->currentY(), 1440 + 3 * kRow);
    // Each part is closed at the bottom and opened at the top.
    auto hasLineAt = [](const Page& page, double y) {
        for (const LineOp& l : opsOf<LineOp>(page))
            if (l.y1 == y && l.y2 == y)
                return true;
        return false;
    };
    EXPECT_TRUE(hasLineAt(s->document().pages[0], 14400));
    EXPECT_TRUE(hasLineAt(s->document().pages[1], 1440));
}

TEST_F(TablePaging, AHeaderAloneAtTheBottomGoesWithTheFirstRow)
{
    s->paragraph(u"before");
    s->setCurrentY(14400 - kRow);
    s->addTable(u"1000", u"H", u"a", kNone, kNone, kNone);
    ASSERT_EQ(s->pageCount(), 2);
    EXPECT_EQ(textsOn().size(), 1u);
    EXPECT_EQ(textsOn(1).size(), 2u);
}

TEST_F(TablePaging, ColumnsTakeTheNextColumnBeforeANewPage)
{
    s->setColumns(2);
    s->setCurrentY(14400 - kRow);
    s->addTable(u"1000", u"", u"a;b", kNone, kNone, kNone);
    EXPECT_EQ(s->pageCount(), 1);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].x, 6210 + 60);
    EXPECT_DOUBLE_EQ(texts[1].top, 1440 + 15);
}

TEST_F(TableShading, HeaderAndBodyColoursGoUnderTextAndLines)
{
    s->addTable(u"1000|1000", u"h|h", u"a|b;c|d", ArgValue::fromNumber(0xC0C0C0), ArgValue::fromNumber(0xF0F0F0),
                kNone);
    const auto& ops = s->document().pages[0].ops;
    ASSERT_GE(ops.size(), 3u);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(std::holds_alternative<RectOp>(ops[static_cast<size_t>(i)]));
    auto rects = opsOf<RectOp>(s->document().pages[0]);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].fill, 0xC0C0C0u);
    EXPECT_EQ(rects[0].rect, (TwipRect{1440, 1440, 3440, 1440 + kRow}));
    EXPECT_EQ(rects[1].fill, 0xF0F0F0u);
    EXPECT_FALSE(rects[1].outline.has_value());

    s->startDoc();
    EXPECT_THROW(s->addTable(u"1000", u"h", u"a", ArgValue::string(u"grey"), kNone, kNone), VbError);
    EXPECT_THROW(s->addTable(u"1000", u"h", u"a", kNone, kNone, ArgValue::string(u"maybe")), VbError);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
}

TEST_F(TableShading, ZeroFalseEmptyNullAndEmptyTextMeanNoShading)
{
    for (const ArgValue& none : {ArgValue::fromNumber(0), ArgValue::boolean(false), ArgValue::empty(),
                                 ArgValue::null(), ArgValue::string(u""), ArgValue::string(u"0")}) {
        auto s = fakeSurface();
        s->addTable(u"1000", u"h", u"a", none, none, ArgValue::boolean(false));
        EXPECT_TRUE(opsOf<RectOp>(s->document().pages[0]).empty());
    }
    // True is -1: white, a colour like any other.
    s->addTable(u"1000", u"h", u"a", ArgValue::boolean(true), kNone, kNone);
    auto rects = opsOf<RectOp>(s->document().pages[0]);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].fill, 0xFFFFFFu);
}

TEST_F(TableLayout, ATableAfterTextOnTheCursorLineStartsBelowIt)
{
    s->setCurrentY(3000);
    s->setCurrentX(1440);
    s->setFontSize(22.5);  // a title two lines high
    s->text(u"SKILLS");
    s->setFontSize(11.25);
    s->setCurrentX(5000);
    s->text(u"(points)");
    s->addTable(u"1000", u"Name", u"Stealth", kNone, kNone, kNone);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_DOUBLE_EQ(texts[2].top, 3000 + 2 * 240 + 15);  // below the tallest text on the line

    // A line position the script set afterwards is where the table goes.
    s->setCurrentY(8000);
    s->addTable(u"1000", u"", u"x", kNone, kNone, kNone);
    EXPECT_DOUBLE_EQ(textsOn().back().top, 8000 + 15);
}

TEST_F(TableAppend, ContinuesColumnsWithoutHeaderOrJoiningEdge)
{
    s->addTable(u"1000|2000", u"H1|H2", u"a|b", kNone, kNone, kNone);
    s->addTable(u"5000", u"H1|H2", u"c|d", kNone, kNone, ArgValue::boolean(true));
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[4].text, u"c");
    EXPECT_DOUBLE_EQ(texts[5].x, 2440 + 60);  // the earlier second column
    EXPECT_DOUBLE_EQ(texts[4].top, 1440 + 2 * kRow + 15);
    int edgesAtJoin = 0;
    for (const LineOp& l : opsOf<LineOp>(s->document().pages[0]))
        edgesAtJoin += (l.y1 == 1440 + 2 * kRow && l.y2 == l.y1) ? 1 : 0;
    EXPECT_EQ(edgesAtJoin, 1);  // the first table's bottom only
}

// Horizontal lines at y, and whether the last of them comes after every
// shading rectangle.
struct JoinLines {
    int count = 0;
    bool overShading = true;
    double width = -1;
};

JoinLines linesAt(const Page& page, double y)
{
    JoinLines join;
    size_t lastRect = 0;
    for (size_t i = 0; i < page.ops.size(); ++i) {
        if (std::holds_alternative<RectOp>(page.ops[i]))
            lastRect = i;
    }
    for (size_t i = 0; i < page.ops.size(); ++i) {
        const auto* l = std::get_if<LineOp>(&page.ops[i]);
        if (l && l->y1 == y && l->y2 == y) {
            ++join.count;
            join.overShading = i > lastRect;
            join.width = l->width;
        }
    }
    return join;
}

TEST_F(TableAppend, TheJoinLooksLikeAnyRowBoundaryWhateverTheCodeAndShading)
{
    const double join = 1440 + 3 * kRow;  // header and two rows above it
    struct Case {
        int code;
        bool shaded;
        int lines;  // at the join, as between any two body rows
    };
    for (Case c : {Case{7, true, 1}, {7, false, 1}, {11, false, 1}, {11, true, 1}, {8, true, 1}, {4, true, 0},
                   {9, false, 0}}) {
        auto s = fakeSurface();
        s->setTableBorder(c.code);
        s->setTablePenTB(30);
        s->setTablePen(10);
        const ArgValue head = c.shaded ? ArgValue::fromNumber(0xE0E0E0) : ArgValue::boolean(false);
        const ArgValue body = c.shaded ? ArgValue::fromNumber(0xFFFFFF) : ArgValue::boolean(false);
        s->addTable(u"<2000|>1000", u"Name|Lvl", u"a|1;b|2;", head, body, ArgValue::boolean(false));
        s->addTable(u"<2000|>1000", u"Name|Lvl", u"c|3;d|4;", head, body, ArgValue::boolean(true));
        const JoinLines at = linesAt(s->document().pages[0], join);
        EXPECT_EQ(at.count, c.lines) << "code " << c.code << (c.shaded ? " shaded" : "");
        if (c.lines) {
            EXPECT_TRUE(at.overShading) << "code " << c.code;
            EXPECT_DOUBLE_EQ(at.width, 10) << "code " << c.code;  // an inner line, not an edge
        }
    }
}

TEST_F(TableAppend, RowsAppendedUnderAHeaderOnlyTableGetTheHeaderLine)
{
    s->setTableBorder(10);  // only the line under the header
    s->addTable(u"2000", u"Name", u"", kNone, kNone, kNone);
    s->addTable(u"2000", u"", u"a;b", kNone, kNone, ArgValue::boolean(true));
    EXPECT_EQ(linesAt(s->document().pages[0], 1440 + kRow).count, 1);
    EXPECT_EQ(opsOf<LineOp>(s->document().pages[0]).size(), 1u);
}

} // namespace
} // namespace quillet::surface
