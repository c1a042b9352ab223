#include "script/lib/number_text.h"

#include <gtest/gtest.h>

using quillet::fromAscii;
using quillet::script::numberToText;
using quillet::script::singleToText;

// The common cases are in the golden lib_conversions.vbs.
TEST(NumberText, FixedPointUpToFifteenDigits)
{
    EXPECT_EQ(numberToText(0.0), u"0");
    EXPECT_EQ(numberToText(-0.0), u"0");
    EXPECT_EQ(numberToText(0.1), u"0.1");
    EXPECT_EQ(numberToText(3.0), u"3");
    EXPECT_EQ(numberToText(1234.5), u"1234.5");
    EXPECT_EQ(numberToText(9.2 * 100.0), u"920");
    EXPECT_EQ(numberToText(1e-15), u"0.000000000000001");
    EXPECT_EQ(numberToText(1.5e-7), u"0.00000015");
}

TEST(NumberText, ScientificBeyondFifteenDigits)
{
    EXPECT_EQ(numberToText(-1.5e20), u"-1.5E+20");
    EXPECT_EQ(numberToText(1.5e-300), u"1.5E-300");
    EXPECT_EQ(numberToText(123456789012345678.0), u"1.23456789012346E+17");
}

TEST(NumberText, SingleUsesSevenDigits)
{
    EXPECT_EQ(singleToText(0.1f), u"0.1");
    EXPECT_EQ(singleToText(1234567.0f), u"1234567");
    EXPECT_EQ(singleToText(12345678.0f), u"1.234568E+07");
    EXPECT_EQ(singleToText(-2.5f), u"-2.5");
}
