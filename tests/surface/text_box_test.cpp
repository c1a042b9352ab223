#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::fakeSurface;
using testing::kLine;
using testing::opsOf;
using testing::textsOf;

TEST(TextBox, WrapsAtTheBoxWidthAndClipsToTheBox)
{
    auto s = fakeSurface();
    s->textBox(u"alpha beta gamma", 2000, 3000, 1000, 300);
    auto texts = textsOf(s->document().pages[0]);
    ASSERT_EQ(texts.size(), 2u);  // the third line starts below the box
    EXPECT_EQ(texts[0].text, u"alpha beta");
    EXPECT_DOUBLE_EQ(texts[0].x, 2000);
    EXPECT_DOUBLE_EQ(texts[0].top, 3000);
    EXPECT_DOUBLE_EQ(texts[1].top, 3000 + kLine);
    ASSERT_TRUE(texts[1].clip.has_value());
    EXPECT_EQ(*texts[1].clip, (TwipRect{2000, 3000, 3000, 3300}));
    EXPECT_TRUE(opsOf<RectOp>(s->document().pages[0]).empty());  // no shade by default
}

TEST(TextBox, WithoutWrapOneLinePerLineBreak)
{
    auto s = fakeSurface();
    s->textBox(u"alpha beta gamma\r\nnext", 2000, 3000, 1000, 0, ArgValue::boolean(false));
    auto texts = textsOf(s->document().pages[0]);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"alpha beta gamma");
    EXPECT_EQ(texts[1].text, u"next");
    // A height of 0 is as tall as the text.
    EXPECT_DOUBLE_EQ(texts[1].clip->bottom, 3000 + 2 * kLine);
}

TEST(TextBox, CalcMeasuresWithoutDrawingOrStartingADocument)
{
    Surface s(std::make_shared<testing::FakeMeasurer>());
    s.textBox(u"alpha beta gamma", 0, 0, 1000, 0, ArgValue::omitted(), ArgValue::fromNumber(1), ArgValue::boolean(true));
    EXPECT_EQ(s.pageCount(), 0);
    EXPECT_DOUBLE_EQ(s.lastCalcWidth(), 1000);
    EXPECT_DOUBLE_EQ(s.lastCalcHeight(), 2 * kLine);
    s.textBox(u"alpha beta gamma", 0, 0, 1000, 0, ArgValue::string(u"False"), ArgValue::string(u"-1"));
    EXPECT_DOUBLE_EQ(s.lastCalcWidth(), 1600);
    EXPECT_DOUBLE_EQ(s.lastCalcHeight(), kLine);
}

TEST(TextBox, ShadeFillsTheBoxWithTheBrushWithoutOutline)
{
    auto s = fakeSurface();
    s->setBrushColor(0xDDDDDD);
    s->textBox(u"x", 100, 200, 1000, 500, ArgValue::empty(), ArgValue::null(), ArgValue::string(u"true"));
    const auto& ops = s->document().pages[0].ops;
    ASSERT_EQ(ops.size(), 2u);
    const auto& shade = std::get<RectOp>(ops[0]);  // under the text
    EXPECT_EQ(shade.rect, (TwipRect{100, 200, 1100, 700}));
    EXPECT_EQ(shade.fill, 0xDDDDDDu);
    EXPECT_FALSE(shade.outline.has_value());
}

TEST(TextBox, BadFlagFailsBeforeDrawing)
{
    auto s = fakeSurface();
    EXPECT_THROW(s->textBox(u"x", 0, 0, 100, 100, ArgValue::string(u"yes")), VbError);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
}

TEST(TextBox, RichTextKeepsItsRunsAndParagraphs)
{
    auto s = fakeSurface();
    s->textBox(u"{\\rtf1 a{\\b b}\\par c}", 2000, 3000, 1000, 0);
    auto texts = textsOf(s->document().pages[0]);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[1].font.bold);
    EXPECT_DOUBLE_EQ(texts[1].x, 2100);
    EXPECT_DOUBLE_EQ(texts[2].top, 3000 + kLine);
    EXPECT_FALSE(s->fontBold());
}

TEST(TextBox, NeverBreaksThePage)
{
    auto s = fakeSurface();
    s->textBox(u"a\r\nb\r\nc", 1440, 15000, 1000, 0);
    EXPECT_EQ(s->pageCount(), 1);
    EXPECT_EQ(textsOf(s->document().pages[0]).size(), 3u);
}

} // namespace
} // namespace quillet::surface
