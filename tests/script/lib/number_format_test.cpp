#include "script/lib/number_format.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet::script;

namespace {
NumberFormat fmt(int digits, int leading = -2, int parens = -2, int group = -2, bool currency = false)
{
    return numberFormatFrom(digits, tristateFrom(leading), tristateFrom(parens), tristateFrom(group), currency);
}
} // namespace

// The common cases are in the golden lib_format.vbs.
TEST(NumberFormat, GroupsRoundsAndPads)
{
    EXPECT_EQ(formatNumber(1234.5, fmt(0)), u"1,235");
    EXPECT_EQ(formatNumber(999.995, fmt(2)), u"1,000.00");
    EXPECT_EQ(formatNumber(1234.5, fmt(3, -2, -2, 0)), u"1234.500");
    EXPECT_EQ(formatNumber(-0.5, fmt(2, 0)), u"-.50");
    EXPECT_EQ(formatNumber(-0.001, fmt(2)), u"0.00");
    EXPECT_EQ(formatNumber(1e20, fmt(0)), u"100,000,000,000,000,000,000");
    EXPECT_THROW(fmt(-2), quillet::VbError);
    EXPECT_THROW(tristateFrom(1), quillet::VbError);
}

TEST(NumberFormat, CurrencyAndPercent)
{
    EXPECT_EQ(formatNumber(-3, fmt(-1, -2, -2, -2, true), NumberStyle::Currency), u"($3.00)");
    EXPECT_EQ(formatNumber(-3, fmt(-1, -2, 0, -2, true), NumberStyle::Currency), u"-$3.00");
    EXPECT_EQ(formatNumber(0.125, fmt(-1), NumberStyle::Percent), u"12.50%");
    EXPECT_EQ(formatNumber(-0.5, fmt(0), NumberStyle::Percent), u"-50%");
}
