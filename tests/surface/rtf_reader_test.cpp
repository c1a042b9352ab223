#include "surface/rtf_reader.h"

#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::fakeSurface;
using testing::kLine;
using testing::textsOf;

const FontStyle kBase{u"Arial", 10};

TEST(RtfReader, CharacterFormattingMakesRuns)
{
    auto paragraphs = readRtf(u"{\\rtf1\\ansi Plain {\\b bold} \\i italic\\i0  \\ul under\\ulnone  \\fs30 big\\plain  back}", kBase, 0x123456);
    ASSERT_EQ(paragraphs.size(), 1u);
    const auto& runs = paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 9u);
    EXPECT_EQ(runs[0].text, u"Plain ");
    EXPECT_EQ(runs[0].font, kBase);
    EXPECT_EQ(runs[0].colour, 0x123456u);
    EXPECT_EQ(runs[1].text, u"bold");
    EXPECT_TRUE(runs[1].font.bold);
    EXPECT_FALSE(runs[2].font.bold);  // the group ended
    EXPECT_EQ(runs[3].text, u"italic");
    EXPECT_TRUE(runs[3].font.italic);
    EXPECT_TRUE(runs[5].font.underline);
    EXPECT_EQ(runs[7].text, u"big");
    EXPECT_DOUBLE_EQ(runs[7].font.size, 15);
    EXPECT_EQ(runs[8].text, u" back");
    EXPECT_EQ(runs[8].font, kBase);
}

TEST(RtfReader, FontAndColourTables)
{
    auto paragraphs = readRtf(
        u"{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        u"{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        u"\\f1 serif \\cf1 red \\cf2 blue \\cf0 auto}",
        kBase, 0x00AA00);
    const auto& runs = paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].font.name, u"Times New Roman");
    EXPECT_EQ(runs[0].colour, 0x00AA00u);
    EXPECT_EQ(runs[1].colour, 0x0000FFu);  // red, in the low byte
    EXPECT_EQ(runs[2].colour, 0xFF0000u);
    EXPECT_EQ(runs[3].colour, 0x00AA00u);
}

TEST(RtfReader, ParagraphsLinesTabsAndAlignment)
{
    auto paragraphs = readRtf(u"{\\rtf1 one\\par\\qc two\\line three\\tab x\\par\\pard\\par four\\par}", kBase, 0);
    ASSERT_EQ(paragraphs.size(), 4u);  // the final \par adds no empty paragraph
    EXPECT_EQ(paragraphs[0].runs[0].text, u"one");
    EXPECT_EQ(paragraphs[1].runs[0].text, u"two\nthree\tx");
    EXPECT_EQ(paragraphs[1].align, Align::Center);
    EXPECT_EQ(paragraphs[2].runs[0].text, u"");  // an empty paragraph keeps its line
    EXPECT_EQ(paragraphs[2].align, Align::Left);
    EXPECT_EQ(paragraphs[3].runs[0].text, u"four");
}

TEST(RtfReader, EscapesAndSkippedDestinations)
{
    auto paragraphs = readRtf(
        u"{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
        u"caf\\'e9 \\{x\\} a\\\\b \\u8364? \\unknownword z\r\nq}",
        kBase, 0);
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_EQ(paragraphs[0].runs[0].text, u"caf\u00e9 {x} a\\b \u20ac zq");
}

TEST(RtfReader, UnbalancedBracesAndTextAfterTheGroupAreTolerated)
{
    auto paragraphs = readRtf(u"{\\rtf1 {\\b open", kBase, 0);
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_TRUE(paragraphs[0].runs[0].font.bold);
    paragraphs = readRtf(u"{\\b Name}}: value", kBase, 0);
    ASSERT_EQ(paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(paragraphs[0].runs[1].text, u": value");
    EXPECT_TRUE(readRtf(u"{\\rtf1}", kBase, 0).empty());
    EXPECT_TRUE(readRtf(u"\\", kBase, 0).empty());
}

TEST(RtfOutput, LaysOutLikeAParagraphWithoutTouchingTheSurfaceFont)
{
    auto s = fakeSurface();
    s->setCurrentX(3000);
    s->text(u"x");
    s->paragraph(u"{\\rtf1 \\b A\\b0 b\\par c}");
    auto texts = textsOf(s->document().pages[0]);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_DOUBLE_EQ(texts[1].x, 3100);  // continues the set cursor
    EXPECT_TRUE(texts[1].font.bold);
    EXPECT_DOUBLE_EQ(texts[2].x, 3220);  // after one bold character
    EXPECT_DOUBLE_EQ(texts[3].x, 1440);
    EXPECT_DOUBLE_EQ(texts[3].top, 1440 + kLine);
    EXPECT_DOUBLE_EQ(s->currentY(), 1440 + 2 * kLine);
    EXPECT_TRUE(s->isCursorFree());
    EXPECT_FALSE(s->fontBold());

    s->textRtf(u"{\\rtf1 \\fs45 Big}");
    EXPECT_DOUBLE_EQ(s->currentY(), 1440 + 4 * kLine);  // one line of twice the height
    EXPECT_DOUBLE_EQ(s->fontSize(), 11.25);
}

} // namespace
} // namespace quillet::surface
