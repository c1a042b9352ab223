#include "common/vb_error.h"
#include "common/vb_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quillet;

static int errorNumberOf(auto&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

TEST(VbRounding, HalvesGoToEvenNeighbour)
{
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(-3.5), -4);
    EXPECT_EQ(toInt16(2.500001), 3);
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(toInt16(-32768.4), -32768);
}

TEST(VbRounding, OutOfRangeIsOverflow)
{
    EXPECT_EQ(errorNumberOf([] { toInt16(32767.5); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { toInt16(32768); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { toInt16(-32768.6); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { toInt32(2147483648.0); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { toInt32(std::nan("")); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { toByte(-1); }), vberr::Overflow);
    EXPECT_EQ(toInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
}

TEST(VbLeadingNumber, ReadsLikeVal)
{
    EXPECT_EQ(leadingNumber(u"10"), 10);
    EXPECT_EQ(leadingNumber(u"15.5"), 15.5);
    EXPECT_EQ(leadingNumber(u"-3"), -3);
    EXPECT_EQ(leadingNumber(u"abc"), 0);
    EXPECT_EQ(leadingNumber(u""), 0);
    EXPECT_EQ(leadingNumber(u"2)"), 2);
    EXPECT_EQ(leadingNumber(u" 1 2\t3\n4 "), 1234);
    EXPECT_EQ(leadingNumber(u"- 5"), -5);
    EXPECT_EQ(leadingNumber(u"1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber(u".5"), 0.5);
    EXPECT_EQ(leadingNumber(u"1e3"), 1000);
    EXPECT_EQ(leadingNumber(u"1D2x"), 100);
    EXPECT_EQ(leadingNumber(u"1e"), 1);
    EXPECT_EQ(leadingNumber(u"1e+"), 1);
    EXPECT_EQ(leadingNumber(u"2.5E-1"), 0.25);
    EXPECT_EQ(leadingNumber(u"--5"), 0);
    EXPECT_EQ(leadingNumber(u"+7"), 7);
    EXPECT_EQ(leadingNumber(u"12abc"), 12);
}

TEST(VbLeadingNumber, HexAndOctal)
{
    EXPECT_EQ(leadingNumber(u"&H10"), 16);
    EXPECT_EQ(leadingNumber(u"&hff"), 255);
    EXPECT_EQ(leadingNumber(u"&HFFFF"), -1);      // 16-bit when it fits in four digits
    EXPECT_EQ(leadingNumber(u"&H8000"), -32768);
    EXPECT_EQ(leadingNumber(u"&H10000"), 65536);
    EXPECT_EQ(leadingNumber(u"&HFFFFFFFF"), -1); // 32-bit otherwise
    EXPECT_EQ(leadingNumber(u"&O17"), 15);
    EXPECT_EQ(leadingNumber(u"&Hxyz"), 0);
    EXPECT_EQ(leadingNumber(u"&"), 0);
    EXPECT_EQ(errorNumberOf([] { leadingNumber(u"&H123456789"); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { leadingNumber(u"1e400"); }), vberr::Overflow);
}

TEST(VbNumericText, WholeTextMustBeANumber)
{
    EXPECT_EQ(parseNumericText(u" 12 ").value(), 12);
    EXPECT_EQ(parseNumericText(u"-1.5e2").value(), -150);
    EXPECT_EQ(parseNumericText(u"&HFF").value(), 255);
    EXPECT_FALSE(parseNumericText(u"12abc"));
    EXPECT_FALSE(parseNumericText(u""));
    EXPECT_FALSE(parseNumericText(u"1 2"));
    EXPECT_FALSE(parseNumericText(u"."));
}

TEST(VbCurrency, FourDecimalPlacesHalfEven)
{
    EXPECT_EQ(Currency::fromDouble(15.5).ticks(), 155000);
    EXPECT_EQ(Currency::fromDouble(0.00005).ticks(), 0);
    EXPECT_EQ(Currency::fromDouble(0.03125).ticks(), 312); // 312.5 ticks, exactly
    EXPECT_EQ(Currency::fromDouble(0.09375).ticks(), 938);
    EXPECT_EQ(Currency::fromDouble(-3).toText(), u"-3");
    EXPECT_EQ(Currency::fromDouble(15.5).toText(), u"15.5");
    EXPECT_EQ(Currency::fromDouble(0.0001).toText(), u"0.0001");
    EXPECT_EQ(Currency::fromDouble(-0.25).toText(), u"-0.25");
    EXPECT_EQ(Currency::fromTicks(std::numeric_limits<int64_t>::min()).toText(), u"-922337203685477.5808");
    EXPECT_EQ(errorNumberOf([] { Currency::fromDouble(1e15); }), vberr::Overflow);
    EXPECT_LT(Currency::fromDouble(1), Currency::fromDouble(1.0001));
}
