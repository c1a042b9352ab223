// Text output and paragraphs: where text lands, where the cursor ends, and
// how lines move to the next column or page.
#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::kLine;

constexpr double kLeft = 1440;
constexpr double kTop = 1440;
constexpr double kBottom = 15840 - 1440;

using TextOutput = testing::SurfaceTest;
using PlacedText = testing::SurfaceTest;
using Paragraph = testing::SurfaceTest;
using Columns = testing::SurfaceTest;
using Measure = testing::SurfaceTest;
using Cursor = testing::SurfaceTest;

TEST_F(TextOutput, AdvancesAlongTheLineAndLeavesTheCursorSet)
{
    EXPECT_TRUE(s->isCursorFree());
    s->text(u"Name: ");
    s->text(u"Bob");
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft + 900);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop);
    EXPECT_FALSE(s->isCursorFree());
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].x, kLeft + 600);
    EXPECT_DOUBLE_EQ(texts[1].top, kTop);
    EXPECT_DOUBLE_EQ(texts[1].baseline, kTop + 190);
}

TEST_F(TextOutput, AtAFreeCursorLineBreaksReturnToTheLeftEdgeOneLineDown)
{
    s->paragraph(u"intro");
    s->text(u"ab\r\ncd\n");
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + 3 * kLine);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_DOUBLE_EQ(texts[2].x, kLeft);
    EXPECT_DOUBLE_EQ(texts[2].top, kTop + 2 * kLine);
}

TEST_F(PlacedText, LineBreaksStartTheNextLineAtThePlacedX)
{
    s->setCurrentX(3000);
    s->text(u"ab\r\ncd\n");
    EXPECT_DOUBLE_EQ(s->currentX(), 3000);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + 2 * kLine);
    s->text(u"ef");  // still placed: continues at the same X
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_DOUBLE_EQ(texts[0].x, 3000);
    EXPECT_DOUBLE_EQ(texts[1].x, 3000);
    EXPECT_DOUBLE_EQ(texts[1].top, kTop + kLine);
    EXPECT_DOUBLE_EQ(texts[2].x, 3000);
    EXPECT_DOUBLE_EQ(texts[2].top, kTop + 2 * kLine);
}

TEST_F(PlacedText, NeverWrapsAndLeavesCurrentYOnItsRow)
{
    // A row placed by hand: a long name from X 6192 runs far past the
    // right margin (10800), then a number right-aligned on the same row.
    s->setCurrentY(7200);
    s->setCurrentX(6192);
    s->text(u"Kingdom Fishing (the Salt Road) - taught by Master Jerome");
    EXPECT_DOUBLE_EQ(s->currentY(), 7200);
    s->setCurrentX(10800 - 200);
    s->text(u"10");
    s->setCurrentY(7200 + kLine);  // the next row
    s->setCurrentX(1440);
    s->text(u"Next row");
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"Kingdom Fishing (the Salt Road) - taught by Master Jerome");
    EXPECT_DOUBLE_EQ(texts[0].x, 6192);
    EXPECT_DOUBLE_EQ(texts[0].top, 7200);
    EXPECT_DOUBLE_EQ(texts[1].top, 7200);
    EXPECT_DOUBLE_EQ(texts[2].top, 7200 + kLine);
}

TEST_F(PlacedText, StaysTogetherOnThePageWhereItWasPlaced)
{
    s->setCurrentY(kBottom + 300);  // below the bottom margin, set by the script
    s->setCurrentX(1440);
    s->text(u"Notes:\r\nline two");
    EXPECT_EQ(s->pageCount(), 1);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].top, kBottom + 300 + kLine);
    s->text(u" (continued)");  // more on the same line stays with it
    EXPECT_EQ(s->pageCount(), 1);
    EXPECT_DOUBLE_EQ(textsOn().back().top, kBottom + 300 + kLine);
}

TEST_F(TextOutput, EmptyTextDrawsAndMovesNothing)
{
    s->setCurrentX(2000);
    s->setCurrentY(3000);
    s->text(u"");
    EXPECT_DOUBLE_EQ(s->currentX(), 2000);
    EXPECT_DOUBLE_EQ(s->currentY(), 3000);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
}

TEST_F(TextOutput, AtAFreeCursorTheFirstWordStaysLaterWordsWrapAndBreakThePage)
{
    s->setMarginRight(12240 - kLeft - 1000);  // flow 1000 wide: ten characters
    s->text(u"longerthanten more");
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[0].x, kLeft);  // crosses the edge but stays
    EXPECT_DOUBLE_EQ(texts[1].x, kLeft);
    EXPECT_DOUBLE_EQ(texts[1].top, kTop + kLine);
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft + 400);

    for (int i = 0; i < 52; ++i)
        s->paragraph(u"line");
    EXPECT_DOUBLE_EQ(s->currentY(), kBottom - kLine);
    s->text(u"last wrapped");  // the wrapped line goes to the next page
    ASSERT_EQ(s->pageCount(), 2);
    texts = textsOn(1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"wrapped");
    EXPECT_DOUBLE_EQ(texts[0].top, kTop);
}

TEST_F(TextOutput, TrailingLineBreakAtTheBottomDefersTheBreak)
{
    s->setCurrentY(kBottom - kLine);
    s->text(u"last line\r\n");
    EXPECT_EQ(s->pageCount(), 1);  // no empty page yet
    s->endDoc();
    EXPECT_EQ(s->pageCount(), 1);

    s->startDoc();
    s->setCurrentY(kBottom - kLine);
    s->text(u"last line\r\n");
    s->setCurrentX(5000);  // a position on the line keeps the deferred break
    s->text(u"more");
    ASSERT_EQ(s->pageCount(), 2);
    auto texts = textsOn(1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_DOUBLE_EQ(texts[0].x, 5000);
    EXPECT_DOUBLE_EQ(texts[0].top, kTop);

    s->startDoc();
    s->setCurrentY(kBottom - kLine);
    s->text(u"last line\r\n");
    s->setCurrentY(2000);  // a new line position cancels it
    s->text(u"more");
    EXPECT_EQ(s->pageCount(), 1);
}

TEST_F(TextOutput, ALineLeftBelowTheBottomByFlowingOutputMovesOn)
{
    for (int i = 0; i < 54; ++i)
        s->paragraph(u"line");
    EXPECT_DOUBLE_EQ(s->currentY(), kBottom);  // the page is full
    s->setCurrentX(4000);  // a label placed at a column position
    s->text(u"Label");
    ASSERT_EQ(s->pageCount(), 2);
    auto texts = textsOn(1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_DOUBLE_EQ(texts[0].x, 4000);
    EXPECT_DOUBLE_EQ(texts[0].top, kTop);
    s->setCurrentX(8000);  // the rest of the line follows it
    s->text(u"Value");
    EXPECT_DOUBLE_EQ(textsOn(1)[1].top, kTop);
}

TEST_F(Paragraph, FreeCursorStartsAtTheLeftEdgeSetCursorWhereItIs)
{
    s->paragraph(u"one");
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + kLine);
    EXPECT_TRUE(s->isCursorFree());

    s->setCurrentX(5000);
    s->paragraph(u"two");
    auto texts = textsOn();
    EXPECT_DOUBLE_EQ(texts[1].x, 5000);
    EXPECT_DOUBLE_EQ(texts[1].top, kTop + kLine);

    // After text output the cursor is set: the paragraph continues the line.
    s->text(u"Label: ");
    s->paragraph(u"value");
    texts = textsOn();
    EXPECT_DOUBLE_EQ(texts.back().x, kLeft + 700);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + 3 * kLine);
}

TEST_F(Paragraph, NoSpaceBetweenParagraphsAndAnEmptyOneIsABlankLine)
{
    s->paragraph(u"a");
    s->paragraph(u"");
    s->paragraph(u"b");
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].top, kTop + 2 * kLine);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + 3 * kLine);
}

TEST_F(Paragraph, WrapsAtTheRightMarginAndEveryLineMayMove)
{
    s->setMarginRight(12240 - kLeft - 1000);  // flow 1000 wide: ten characters
    s->setCurrentY(kBottom - kLine);
    s->paragraph(u"alpha beta gamma");
    ASSERT_EQ(s->pageCount(), 2);
    auto first = textsOn();
    auto second = textsOn(1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].text, u"alpha beta");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, u"gamma");
    EXPECT_DOUBLE_EQ(second[0].top, kTop);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + kLine);
}

TEST_F(Paragraph, FillsExactlyFiftyFourLinesPerLetterPage)
{
    for (int i = 0; i < 54; ++i)
        s->paragraph(u"line");
    EXPECT_EQ(s->pageCount(), 1);
    EXPECT_DOUBLE_EQ(s->currentY(), kBottom);
    s->paragraph(u"line 55");
    EXPECT_EQ(s->pageCount(), 2);
}

TEST_F(Columns, FlowDownOneColumnThenTheNext)
{
    s->setColumns(2);
    // (12240 - 2880 - 180) / 2 = 4590 wide; column 2 starts at 1440 + 4770.
    for (int i = 0; i < 55; ++i)
        s->paragraph(u"x");
    EXPECT_EQ(s->pageCount(), 1);
    EXPECT_EQ(s->currentColumn(), 2);
    auto texts = textsOn();
    EXPECT_DOUBLE_EQ(texts[54].x, 6210);
    EXPECT_DOUBLE_EQ(texts[54].top, kTop);

    s->newColumn();  // past the last column: a new page, column 1
    EXPECT_EQ(s->pageCount(), 2);
    EXPECT_EQ(s->currentColumn(), 1);
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft);
}

TEST_F(Columns, NewColumnMovesToTheTopOfTheNextColumn)
{
    s->setColumns(3);
    s->paragraph(u"a");
    s->newColumn();
    EXPECT_EQ(s->currentColumn(), 2);
    EXPECT_DOUBLE_EQ(s->currentY(), kTop);
    EXPECT_DOUBLE_EQ(s->currentX(), kLeft + (9360 - 360) / 3.0 + 180);
    EXPECT_TRUE(s->isCursorFree());
    // A paragraph wraps at the column's right edge: 3000 wide = 30 characters.
    s->paragraph(Text(25, u'a') + u" " + Text(10, u'b'));
    EXPECT_DOUBLE_EQ(s->currentY(), kTop + 2 * kLine);
}

TEST_F(Columns, ColumnsBegunPartWayDownThePageStartWhereTheyWereBegun)
{
    for (int i = 0; i < 50; ++i)
        s->paragraph(u"single");
    s->setColumns(2);
    for (int i = 0; i < 6; ++i)
        s->paragraph(u"x");
    EXPECT_EQ(s->currentColumn(), 2);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 56u);
    EXPECT_DOUBLE_EQ(texts[54].x, 6210);
    EXPECT_DOUBLE_EQ(texts[54].top, kTop + 50 * kLine);  // not over the single column
    s->newColumn();  // past the last column: the next page starts at the top
    EXPECT_EQ(s->pageCount(), 2);
    s->newColumn();
    EXPECT_DOUBLE_EQ(s->currentY(), kTop);
}

TEST_F(Columns, BackToOneColumnContinuesBelowTheLowestColumn)
{
    s->paragraph(u"title");
    s->setColumns(2);
    for (int i = 0; i < 10; ++i)
        s->paragraph(u"left");
    s->newColumn();
    for (int i = 0; i < 3; ++i)
        s->paragraph(u"right");
    s->setColumns(1);
    s->paragraph(u"below both");
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_DOUBLE_EQ(texts.back().x, kLeft);
    EXPECT_DOUBLE_EQ(texts.back().top, kTop + 11 * kLine);  // under column 1's tenth line

    // Column 2 deeper than column 1 this time.
    s->startDoc();
    s->setColumns(2);
    s->paragraph(u"left");
    s->newColumn();
    for (int i = 0; i < 5; ++i)
        s->paragraph(u"right");
    s->setColumns(1);
    s->paragraph(u"below both");
    EXPECT_DOUBLE_EQ(textsOn().back().top, kTop + 5 * kLine);

    // Both columns full: the single column starts on a new page.
    s->startDoc();
    s->setColumns(2);
    for (int i = 0; i < 60; ++i)
        s->paragraph(u"x");
    s->setColumns(1);
    ASSERT_EQ(s->pageCount(), 2);
    s->paragraph(u"after");
    EXPECT_DOUBLE_EQ(textsOn(1)[0].top, kTop);
}

TEST_F(Measure, WidthOfTheWidestLineHeightOfAllLines)
{
    EXPECT_DOUBLE_EQ(s->textWidth(u"ab\r\nabcd"), 400);
    EXPECT_DOUBLE_EQ(s->textHeight(u"ab\r\nabcd"), 2 * kLine);
    EXPECT_DOUBLE_EQ(s->textWidth(u""), 0);
    EXPECT_DOUBLE_EQ(s->textHeight(u""), kLine);
    s->setFontSize(22.5);
    EXPECT_DOUBLE_EQ(s->textWidth(u"ab"), 400);
    EXPECT_DOUBLE_EQ(s->textHeight(u"ab"), 2 * kLine);
}

TEST_F(Cursor, DrawingLeavesTheCursorAlone)
{
    s->text(u"abc");
    const double x = s->currentX();
    const double y = s->currentY();
    s->drawLine(0, 0, 100, 100);
    s->drawRectangle(500, 500, 100, 100);
    s->textBox(u"boxed", 2000, 2000, 1000, 0);
    s->setPictureX1(100);
    s->setPictureY1(100);
    s->setPictureX2(300);
    s->setPictureY2(400);
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    s->placePicture(image);
    EXPECT_DOUBLE_EQ(s->currentX(), x);
    EXPECT_DOUBLE_EQ(s->currentY(), y);
    EXPECT_FALSE(s->isCursorFree());
    auto rects = testing::opsOf<RectOp>(s->document().pages[0]);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, (TwipRect{100, 100, 500, 500}));  // corners normalised
    EXPECT_EQ(rects[0].fill, kBlack);  // the default brush is black
    auto pictures = testing::opsOf<PictureOp>(s->document().pages[0]);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].rect, (TwipRect{100, 100, 300, 400}));
}

TEST_F(Cursor, PictureWithAnEmptyRectangleIsReportedNotDrawn)
{
    Text reported;
    s->setDiagnosticSink([&](const Text& line) { reported = line; });
    s->setPictureX1(500);
    s->setPictureX2(500);
    s->setPictureY2(800);
    QImage image(2, 2, QImage::Format_RGB32);
    s->placePicture(image);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
    EXPECT_FALSE(reported.empty());
    EXPECT_THROW(s->placePicture(QImage()), VbError);
}

} // namespace
} // namespace quillet::surface
