#include "surface/line_breaker.h"

#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::FakeMeasurer;

const FakeMeasurer measurer;

std::vector<LaidLine> lay(const Text& text, BreakOptions options)
{
    return breakLines({{text, FontStyle{}, kBlack}}, options, measurer, FontStyle{});
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
    auto lines = lay(u"alpha beta gamma delta", {.width = 1000});  // ten characters
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
    EXPECT_EQ(lay(u"alpha beta", {.width = 990, .tolerance = 15}).size(), 1u);  // 1000 wide, 10 over
    EXPECT_EQ(lay(u"alpha beta", {.width = 990, .tolerance = 5}).size(), 2u);
}

TEST(LineBreaker, FirstLineStartsAtItsOffsetAndMayWrapAway)
{
    BreakOptions options{.width = 1000, .firstLineOffset = 800};
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
    auto lines = lay(u"abcdefgh", {.width = 300});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lineText(lines[0]), u"abc");
    EXPECT_EQ(lineText(lines[2]), u"gh");
    EXPECT_EQ(lay(u"abcdefgh", {.width = 300, .keepFirstWord = true}).size(), 1u);
    // Clamped to 1 twip: one character per line, no endless loop.
    EXPECT_EQ(lay(u"abcd", {.width = 0}).size(), 4u);
}

TEST(LineBreaker, HardBreaksKeepBlankLinesAndTrailingBreakGivesEmptyLine)
{
    auto lines = lay(u"a\r\n\rb\n", {.width = 5000});
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
    auto lines = lay(u"ab\tc\td", {.width = 5000, .firstLineOffset = 100});
    ASSERT_EQ(lines[0].pieces.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[0].pieces[1].x, 720);
    EXPECT_DOUBLE_EQ(lines[0].pieces[2].x, 1440);
}

TEST(LineBreaker, AlignmentShiftsLinesWithinTheWidth)
{
    EXPECT_DOUBLE_EQ(lay(u"abcd", {.width = 1000, .align = Align::Center})[0].pieces[0].x, 300);
    // Trailing blanks do not count.
    EXPECT_DOUBLE_EQ(lay(u"abcd  ", {.width = 1000, .align = Align::Right})[0].pieces[0].x, 600);

    auto lines = lay(u"ab cd ef ghijkl", {.width = 1000, .align = Align::Justify});
    ASSERT_EQ(lines.size(), 2u);
    // "ab cd ef" is 800 wide: 200 spare shared by two gaps; the last line stays left.
    EXPECT_DOUBLE_EQ(lines[0].pieces.back().x, 800);
    EXPECT_EQ(lines[0].pieces.back().text, u"ef");
    EXPECT_DOUBLE_EQ(lines[1].pieces[0].x, 0);
}

TEST(LineBreaker, AWordSpanningRunsWrapsAsOneUnit)
{
    const FontStyle plain, bold{.bold = true};
    auto lines = breakLines({{u"abc de", plain, kBlack}, {u"fgh", bold, 0xFF}}, {.width = 800}, measurer, plain);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lineText(lines[1]), u"defgh");
    ASSERT_EQ(lines[1].pieces.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[1].pieces[1].x, 200);
    EXPECT_EQ(lines[1].pieces[1].colour, 0xFFu);
}

} // namespace
} // namespace quillet::surface
