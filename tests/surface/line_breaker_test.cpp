#include "surface/line_breaker.h"

#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::FakeMeasurer;

std::vector<LaidLine> lay(const Text& text, BreakOptions options)
{
    static const FakeMeasurer measurer;
    FontStyle font;
    return breakLines({{text, font, kBlack}}, options, measurer, font);
}

Text lineText(const LaidLine& line)
{
    Text joined;
    for (const LinePiece& piece : line.pieces)
        joined += piece.text;
    return joined;
}

TEST(LineBreaker, WrapsAtWordsAndDropsTheBlankAtTheBreak)
{
    BreakOptions options;
    options.width = 1000;  // ten characters
    auto lines = lay(u"alpha beta gamma delta", options);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lineText(lines[0]), u"alpha beta");
    EXPECT_EQ(lineText(lines[1]), u"gamma");
    EXPECT_EQ(lineText(lines[2]), u"delta");
    EXPECT_DOUBLE_EQ(lines[1].pieces[0].x, 0);
    EXPECT_DOUBLE_EQ(lines[2].endX, 500);
    EXPECT_DOUBLE_EQ(lines[0].height(), 240);
}

TEST(LineBreaker, ToleranceLetsAWordTouchTheEdge)
{
    BreakOptions options;
    options.width = 990;
    options.tolerance = 15;
    EXPECT_EQ(lay(u"alpha beta", options).size(), 1u);  // 1000 wide, 10 over
    options.tolerance = 5;
    EXPECT_EQ(lay(u"alpha beta", options).size(), 2u);
}

TEST(LineBreaker, FirstLineStartsAtItsOffsetAndMayWrapAway)
{
    BreakOptions options;
    options.width = 1000;
    options.firstLineOffset = 800;
    auto lines = lay(u"abcd efg", options);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].pieces.empty());  // nothing fits after the offset
    EXPECT_EQ(lineText(lines[1]), u"abcd efg");

    options.keepFirstWord = true;
    lines = lay(u"abcd efg", options);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lineText(lines[0]), u"abcd");
    EXPECT_DOUBLE_EQ(lines[0].pieces[0].x, 800);
    EXPECT_EQ(lineText(lines[1]), u"efg");
}

TEST(LineBreaker, OverlongWordBreaksByCharacterButAKeptFirstWordDoesNot)
{
    BreakOptions options;
    options.width = 300;
    auto lines = lay(u"abcdefgh", options);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lineText(lines[0]), u"abc");
    EXPECT_EQ(lineText(lines[2]), u"gh");

    options.keepFirstWord = true;
    EXPECT_EQ(lay(u"abcdefgh", options).size(), 1u);

    options.width = 0;  // clamped to 1 twip: one character per line, no endless loop
    options.keepFirstWord = false;
    EXPECT_EQ(lay(u"abcd", options).size(), 4u);
}

TEST(LineBreaker, HardBreaksKeepBlankLinesAndTrailingBreakGivesEmptyLine)
{
    BreakOptions options;
    options.width = 5000;
    auto lines = lay(u"a\r\n\rb\n", options);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lineText(lines[0]), u"a");
    EXPECT_TRUE(lines[1].pieces.empty());
    EXPECT_EQ(lineText(lines[2]), u"b");
    EXPECT_TRUE(lines[3].pieces.empty());
    EXPECT_DOUBLE_EQ(lines[3].height(), 240);  // an empty line still has a height
    EXPECT_TRUE(lines[0].endsWithBreak);
    EXPECT_FALSE(lines[3].endsWithBreak);
}

TEST(LineBreaker, TabsJumpToHalfInchStopsFromTheLeftEdge)
{
    BreakOptions options;
    options.width = 5000;
    options.firstLineOffset = 100;
    auto lines = lay(u"ab\tc\td", options);
    ASSERT_EQ(lines[0].pieces.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[0].pieces[1].x, 720);
    EXPECT_DOUBLE_EQ(lines[0].pieces[2].x, 1440);
}

TEST(LineBreaker, AlignmentShiftsLinesWithinTheWidth)
{
    BreakOptions options;
    options.width = 1000;
    options.align = Align::Center;
    EXPECT_DOUBLE_EQ(lay(u"abcd", options)[0].pieces[0].x, 300);
    options.align = Align::Right;
    EXPECT_DOUBLE_EQ(lay(u"abcd  ", options)[0].pieces[0].x, 600);  // trailing blanks do not count

    options.align = Align::Justify;
    auto lines = lay(u"ab cd ef ghijkl", options);
    ASSERT_EQ(lines.size(), 2u);
    // "ab cd ef" is 800 wide: 200 spare shared by two gaps; the last line stays left.
    EXPECT_DOUBLE_EQ(lines[0].pieces.back().x, 800);
    EXPECT_EQ(lines[0].pieces.back().text, u"ef");
    EXPECT_DOUBLE_EQ(lines[1].pieces[0].x, 0);
}

TEST(LineBreaker, AWordSpanningRunsWrapsAsOneUnit)
{
    static const FakeMeasurer measurer;
    FontStyle plain;
    FontStyle bold = plain;
    bold.bold = true;
    BreakOptions options;
    options.width = 800;
    auto lines = breakLines({{u"abc de", plain, kBlack}, {u"fgh", bold, 0xFF}}, options, measurer, plain);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lineText(lines[1]), u"defgh");
    ASSERT_EQ(lines[1].pieces.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[1].pieces[1].x, 200);
    EXPECT_EQ(lines[1].pieces[1].colour, 0xFFu);
}

} // namespace
} // namespace quillet::surface
