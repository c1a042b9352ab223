// Document and page handling: page size and orientation, margins, header,
// footer and page border, drawing outside an open document.
#include "fake_measurer.h"

#include "surface/border_codes.h"
#include "surface/header_text.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::fakeSurface;
using testing::kLine;
using testing::opsOf;
using testing::textsOf;

using PageSetup = testing::SurfaceTest;
using HeaderFooter = testing::SurfaceTest;
using PageBorder = testing::SurfaceTest;

TEST(Document, StartsWithOneLetterPageAndTheCursorAtTheMargins)
{
    Surface s(std::make_shared<testing::FakeMeasurer>());
    EXPECT_EQ(s.pageCount(), 0);
    s.startDoc();
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_DOUBLE_EQ(s.document().pages[0].width, 12240);
    EXPECT_DOUBLE_EQ(s.document().pages[0].height, 15840);
    EXPECT_DOUBLE_EQ(s.currentX(), 1440);
    EXPECT_DOUBLE_EQ(s.currentY(), 1440);
    s.paragraph(u"x");
    s.newPage();
    s.newPage();  // consecutive new pages give empty pages
    EXPECT_EQ(s.pageCount(), 3);
    s.startDoc();  // drops everything
    EXPECT_EQ(s.pageCount(), 1);
}

TEST(Document, DrawingBeforeStartStartsItDrawingAfterEndIsIgnored)
{
    Surface s(std::make_shared<testing::FakeMeasurer>());
    Text reported;
    s.setDiagnosticSink([&](const Text& line) { reported = line; });
    s.paragraph(u"implicit");
    EXPECT_EQ(s.pageCount(), 1);
    EXPECT_TRUE(s.isDocumentOpen());
    s.endDoc();
    s.drawLine(0, 0, 10, 10);
    s.newPage();
    EXPECT_EQ(s.pageCount(), 1);
    EXPECT_EQ(s.document().pages[0].ops.size(), 1u);
    EXPECT_NE(reported.find(u"ignored"), Text::npos);
}

TEST(Document, TakenPagesLeaveTheSurfaceWithNoneUntilTheNextDocument)
{
    Surface s(std::make_shared<testing::FakeMeasurer>());
    s.startDoc();
    s.paragraph(u"first");
    s.newPage();
    s.paragraph(u"second");
    s.endDoc();
    const Document taken = s.takeDocument();
    ASSERT_EQ(taken.pages.size(), 2u);
    ASSERT_EQ(textsOf(taken.pages[1]).size(), 1u);
    EXPECT_EQ(textsOf(taken.pages[1])[0].text, u"second");
    EXPECT_EQ(s.pageCount(), 0);
    s.startDoc();
    s.paragraph(u"again");
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_EQ(textsOf(s.document().pages[0]).size(), 1u);
}

TEST_F(PageSetup, OrientationSwapsTheSizeOfAnEmptyPageOtherwiseTheNextPage)
{
    s->setOrientation(kLandscape);
    EXPECT_DOUBLE_EQ(s->pageWidth(), 15840);
    EXPECT_DOUBLE_EQ(s->document().pages[0].width, 15840);
    s->setOrientation(kLandscape);  // already wide: no second swap
    EXPECT_DOUBLE_EQ(s->pageWidth(), 15840);
    s->setOrientation(7);  // unknown code: ignored
    EXPECT_EQ(s->orientation(), kLandscape);

    s->paragraph(u"content");
    s->setOrientation(kPortrait);
    EXPECT_DOUBLE_EQ(s->document().pages[0].width, 15840);  // drawn on: stays
    s->newPage();
    EXPECT_DOUBLE_EQ(s->document().pages[1].width, 12240);
    EXPECT_EQ(s->document().pages[1].orientation, kPortrait);

    s->setPageHeight(20160);  // a custom size follows the same rule
    EXPECT_DOUBLE_EQ(s->document().pages[1].height, 20160);
}

TEST_F(PageSetup, CursorFollowsMarginsOnlyWhileThePageIsEmptyAndFree)
{
    s->setMarginLeft(720);
    s->setMarginTop(2000);
    EXPECT_DOUBLE_EQ(s->currentX(), 720);
    EXPECT_DOUBLE_EQ(s->currentY(), 2000);
    s->paragraph(u"x");
    s->setMarginLeft(1000);
    EXPECT_DOUBLE_EQ(s->currentX(), 720);
    s->paragraph(u"y");  // the next line uses the new margin
    EXPECT_DOUBLE_EQ(textsOn()[1].x, 1000);
}

TEST_F(PageSetup, CrossedMarginsStillLayOutWithoutLooping)
{
    s->setMarginLeft(8000);
    s->setMarginRight(8000);
    s->paragraph(u"abc def");
    // The flow is clamped to 1 twip: one character per line.
    EXPECT_DOUBLE_EQ(s->currentY(), 1440 + 6 * kLine);
}

TEST_F(HeaderFooter, ThreePartsPageNumbersAndValuesTakenWhenThePageIsFinished)
{
    s->setHeaderFontSize(11.25);
    s->setHeader(u"Title||Page %d");
    s->setFooter(u"left|mid");
    s->newPage();
    s->setHeader(u"Second\r\nline");  // set before page 2 is finished
    s->endDoc();

    auto first = textsOn();
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0].text, u"Title");
    EXPECT_DOUBLE_EQ(first[0].x, 1440);
    // A quarter line clear of the text on both sides.
    EXPECT_DOUBLE_EQ(first[0].top, 1440 - kLine - kLine / 4);
    EXPECT_EQ(first[1].text, u"Page 1");
    EXPECT_DOUBLE_EQ(first[1].x, 10800 - 600);  // right-aligned
    EXPECT_EQ(first[2].text, u"left");
    EXPECT_DOUBLE_EQ(first[2].top, 15840 - 1440 + kLine / 4);
    EXPECT_EQ(first[3].text, u"mid");
    EXPECT_DOUBLE_EQ(first[3].x, 1440 + (9360 - 300) / 2);

    auto second = textsOn(1);
    ASSERT_EQ(second.size(), 4u);
    EXPECT_EQ(second[0].text, u"Second");
    EXPECT_DOUBLE_EQ(second[0].top, 1440 - 2 * kLine - kLine / 4);
    EXPECT_EQ(second[1].text, u"line");
    EXPECT_EQ(second[0].font.size, 11.25);
}

TEST_F(HeaderFooter, TooSmallAMarginKeepsTheBandsInsideItAndOnThePaper)
{
    s->setHeaderFontSize(11.25);
    s->setMarginTop(280);  // room for one line, not for the whole gap as well
    s->setMarginBottom(100);
    s->setHeader(u"Head");
    s->setFooter(u"Foot");
    s->endDoc();
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[0].top, 0);  // on the paper, still above the margin
    EXPECT_DOUBLE_EQ(texts[1].top, 15840 - 100);  // never into the text area
}

TEST_F(HeaderFooter, HeaderTextSplitsAtBarsAndKeepsOtherPercentSigns)
{
    auto parts = splitHeaderText(u"a|b|c|dropped", 3);
    EXPECT_EQ(parts[0], std::vector<Text>{u"a"});
    EXPECT_EQ(parts[2], std::vector<Text>{u"c"});
    parts = splitHeaderText(u"100% of %d%d", 12);
    EXPECT_EQ(parts[0], std::vector<Text>{u"100% of 1212"});
    EXPECT_TRUE(parts[1].empty());
    parts = splitHeaderText(u"|x\ny|", 1);
    EXPECT_TRUE(parts[0].empty());
    EXPECT_EQ(parts[1], (std::vector<Text>{u"x", u"y"}));
}

TEST_F(PageBorder, EachCodeDrawsItsEdgesWithThePenOfTheFinishingMoment)
{
    struct Case {
        int code;
        size_t lines;
    };
    // Two columns: one column line in the gap.
    for (Case c : {Case{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 4}, {5, 1}, {6, 3}, {7, 5}, {8, 2}, {9, 2}}) {
        auto s = fakeSurface();
        s->setColumns(2);
        s->setPageBorder(c.code);
        s->setPenColor(0x808080);
        s->endDoc();
        auto lines = opsOf<LineOp>(s->document().pages[0]);
        EXPECT_EQ(lines.size(), c.lines) << "code " << c.code;
        for (const LineOp& line : lines)
            EXPECT_EQ(line.colour, 0x808080u);
    }
    s->setColumns(2);
    s->setPageBorder(5);
    s->setPageBorder(12);  // out of range: the old code stays
    EXPECT_EQ(s->pageBorder(), 5);
    s->endDoc();
    auto lines = opsOf<LineOp>(s->document().pages[0]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].x1, 1440 + 4590 + 90);  // middle of the gap
    EXPECT_DOUBLE_EQ(lines[0].y1, 1440);
    EXPECT_DOUBLE_EQ(lines[0].y2, 14400);
}

TEST_F(PageBorder, ColumnLinesFollowTheLayoutOfEachPartOfThePage)
{
    s->setPageBorder(5);
    s->paragraph(u"title across the page");
    s->setColumns(2);
    for (int i = 0; i < 4; ++i)
        s->paragraph(u"two");
    s->setColumns(3);  // starts below the two columns
    s->paragraph(u"three");
    s->endDoc();
    auto lines = opsOf<LineOp>(s->document().pages[0]);
    ASSERT_EQ(lines.size(), 3u);
    // Two columns from below the title to the start of the three.
    EXPECT_DOUBLE_EQ(lines[0].x1, 1440 + 4590 + 90);
    EXPECT_DOUBLE_EQ(lines[0].y1, 1440 + kLine);
    EXPECT_DOUBLE_EQ(lines[0].y2, 1440 + 5 * kLine);
    // Three columns from there to the bottom.
    EXPECT_DOUBLE_EQ(lines[1].x1, 1440 + 3000 + 90);
    EXPECT_DOUBLE_EQ(lines[1].y1, 1440 + 5 * kLine);
    EXPECT_DOUBLE_EQ(lines[1].y2, 14400);
    EXPECT_DOUBLE_EQ(lines[2].x1, 1440 + 2 * 3180 - 90);
}

} // namespace
} // namespace quillet::surface
