#include "logging/log_layout.h"
#include "logging/log_list.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LogList, GrowsTo2001LinesThenDropsTheOldestOnePerLine)
{
    LogList list;
    int removals = 0;
    for (int i = 1; i <= 2001; ++i)
        removals += list.add(decimalText(i));
    EXPECT_EQ(removals, 0);
    EXPECT_EQ(list.size(), 2001u);

    EXPECT_TRUE(list.add(u"2002"));
    EXPECT_EQ(list.size(), 2001u);
    EXPECT_EQ(list.line(0), u"2");
    for (int i = 2003; i <= 3000; ++i)
        list.add(decimalText(i));
    EXPECT_EQ(list.size(), 2001u);
    EXPECT_EQ(list.line(0), u"1000");
    EXPECT_EQ(list.line(2000), u"3000");
}

TEST(LogWindowLayout, ListFillsTheMarginsAndEndsWhereTheButtonBegins)
{
    const LogWindowLayout layout = layoutLogWindow(7245, 2730, 375);
    EXPECT_EQ(layout.listLeft, 120);
    EXPECT_EQ(layout.listTop, 120);
    EXPECT_EQ(layout.listWidth, 7005);
    EXPECT_EQ(layout.listHeight, 2175);
    EXPECT_EQ(layout.buttonTop, 2295);
    EXPECT_EQ(layout.listTop + layout.listHeight, layout.buttonTop);
}

TEST(LogWindowLayout, ATinyWindowGivesNoNegativeMeasures)
{
    const LogWindowLayout layout = layoutLogWindow(100, 200, 375);
    EXPECT_EQ(layout.listWidth, 0);
    EXPECT_EQ(layout.listHeight, 0);
    EXPECT_EQ(layout.buttonTop, 0);
}

} // namespace
} // namespace quillet
