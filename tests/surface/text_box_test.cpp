#include "fake_measurer.h"

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

using testing::kLine;
using testing::opsOf;

using TextBox = testing::SurfaceTest;

TEST_F(TextBox, WrapsAtTheBoxWidthAndClipsToTheBox)
{
    s->textBox(u"alpha beta gamma", 2000, 3000, 1000, 300);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);  // the third line starts below the box
    EXPECT_EQ(texts[0].text, u"alpha beta");
    EXPECT_DOUBLE_EQ(texts[0].x, 2000);
    EXPECT_DOUBLE_EQ(texts[0].top, 3000);
    EXPECT_DOUBLE_EQ(texts[1].top, 3000 + kLine);
    ASSERT_TRUE(texts[1].clip.has_value());
    EXPECT_EQ(*texts[1].clip, (TwipRect{2000, 3000, 3000, 3300}));
    EXPECT_TRUE(opsOf<RectOp>(s->document().pages[0]).empty());  // no shade by default
}

TEST_F(TextBox, WithoutWrapOneLinePerLineBreak)
{
    s->textBox(u"alpha beta gamma\r\nnext", 2000, 3000, 1000, 0, ArgValue::boolean(false));
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"alpha beta gamma");
    EXPECT_EQ(texts[1].text, u"next");
    // A height of 0 is as tall as the text.
    EXPECT_DOUBLE_EQ(texts[1].clip->bottom, 3000 + 2 * kLine);
}

TEST_F(TextBox, CalcMeasuresWithoutDrawingOrStartingADocument)
{
    Surface unstarted(std::make_shared<testing::FakeMeasurer>());
    unstarted.textBox(u"alpha beta gamma", 0, 0, 1000, 0, ArgValue::omitted(), ArgValue::fromNumber(1),
                      ArgValue::boolean(true));
    EXPECT_EQ(unstarted.pageCount(), 0);
    EXPECT_DOUBLE_EQ(unstarted.lastCalcWidth(), 1000);
    EXPECT_DOUBLE_EQ(unstarted.lastCalcHeight(), 2 * kLine);
    unstarted.textBox(u"alpha beta gamma", 0, 0, 1000, 0, ArgValue::string(u"False"), ArgValue::string(u"-1"));
    EXPECT_DOUBLE_EQ(unstarted.lastCalcWidth(), 1600);
    EXPECT_DOUBLE_EQ(unstarted.lastCalcHeight(), kLine);
}

TEST_F(TextBox, ShadeFillsTheBoxWithTheBrushWithoutOutline)
{
    s->setBrushColor(0xDDDDDD);
    s->textBox(u"x", 100, 200, 1000, 500, ArgValue::empty(), ArgValue::null(), ArgValue::string(u"true"));
    const auto& ops = s->document().pages[0].ops;
    ASSERT_EQ(ops.size(), 2u);
    const auto& shade = std::get<RectOp>(ops[0]);  // under the text
    EXPECT_EQ(shade.rect, (TwipRect{100, 200, 1100, 700}));
    EXPECT_EQ(shade.fill, 0xDDDDDDu);
    EXPECT_FALSE(shade.outline.has_value());
}

TEST_F(TextBox, BadFlagFailsBeforeDrawing)
{
    EXPECT_THROW(s->textBox(u"x", 0, 0, 100, 100, ArgValue::string(u"yes")), VbError);
    EXPECT_TRUE(s->document().pages[0].ops.empty());
}

TEST_F(TextBox, RichTextKeepsItsRunsAndParagraphs)
{
    s->textBox(u"{\\rtf1 a{\\b b}\\par c}", 2000, 3000, 1000, 0);
    auto texts = textsOn();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[1].font.bold);
    EXPECT_DOUBLE_EQ(texts[1].x, 2100);
    EXPECT_DOUBLE_EQ(texts[2].top, 3000 + kLine);
    EXPECT_FALSE(s->fontBold());
}

TEST_F(TextBox, NeverBreaksThePage)
{
    s->textBox(u"a\r\nb\r\nc", 1440, 15000, 1000, 0);
    EXPECT_EQ(s->pageCount(), 1);
    EXPECT_EQ(textsOn().size(), 3u);
}

} // namespace
} // namespace quillet::surface
