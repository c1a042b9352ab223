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

// Decimal text becomes the nearest double, to the last bit, however many
// digits it has; past the range of a double, too large is an overflow and
// too small is zero or the nearest tiny (denormal) double.
TEST(VbNumericText, DecimalsReadToTheNearestDouble)
{
    const struct {
        const char16_t* text;
        double value;
    } cases[] = {
        {u"0.1", 0.1},
        {u"9007199254740993", 9007199254740992.0}, // halfway: to the even neighbour
        {u"123456789012345678901234567890", 123456789012345678901234567890.0},
        {u"2.2250738585072011e-308", 2.2250738585072011e-308},
        {u"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {u"4.9e-324", std::numeric_limits<double>::denorm_min()},
        {u"1e-400", 0.0},
        {u"-1e-400", -0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        EXPECT_EQ(parseNumericText(c.text).value(), c.value);
        EXPECT_EQ(std::signbit(parseNumericText(c.text).value()), std::signbit(c.value));
        EXPECT_EQ(leadingNumber(c.text), c.value);
    }
    EXPECT_EQ(leadingNumber(u"+0.1"), 0.1);
    EXPECT_EQ(errorNumberOf([] { parseNumericText(u"1.8e308"); }), vberr::Overflow);
    EXPECT_EQ(errorNumberOf([] { leadingNumber(u"-1.8e308"); }), vberr::Overflow);
}

TEST(VbNumericText, AmountsAsEnUsSettingsWriteThem)
{
    const std::pair<const char16_t*, double> accepted[] = {
        {u"1,000", 1000},       {u"1,234,567.25", 1234567.25}, {u"1,2,3", 123},   {u"1,,0", 10},
        {u"$5", 5},             {u"$1,200.68", 1200.68},       {u"$ 5", 5},       {u"(5)", -5},
        {u"( 5 )", -5},         {u"($5.50)", -5.5},            {u"$(5)", -5},     {u"-$5", -5},
        {u"$-5", -5},           {u"5-", -5},                   {u"5 -", -5},      {u"5+", 5},
        {u"- 5", -5},           {u"\t-1.5e2\r\n", -150},       {u"1,000e-3", 1}, {u"2.5D1-", -25},
        {u"1.", 1},             {u".5", 0.5},                  {u"1,", 1},
    };
    for (const auto& [text, value] : accepted) {
        SCOPED_TRACE(toUtf8(text));
        ASSERT_TRUE(parseNumericText(text));
        EXPECT_EQ(*parseNumericText(text), value);
    }
}

TEST(VbNumericText, MarksThatDoNotMakeANumber)
{
    const char16_t* rejected[] = {
        u"$",     u"()",     u",",     u",5",    u"1.000,5", u"1 000", u"5$",   u"(5",   u"5)",
        u"((5))", u"(-5)",   u"-(5)",  u"(5)-",  u"+-5",     u"-5-",   u"--5",  u"$$5",  u"1e",
        u"1e+",   u"-&H10",  u"$&H10", u"&H1,0", u"5%",      u"1-2",   u"- ",   u"e5",   u"1.5.",
    };
    for (const char16_t* text : rejected) {
        SCOPED_TRACE(toUtf8(text));
        EXPECT_FALSE(parseNumericText(text));
    }
    EXPECT_EQ(errorNumberOf([] { parseNumericText(u"$1e400"); }), vberr::Overflow);
}

TEST(VbLeadingNumber, IgnoresTheMarksOfNumericText)
{
    // Val and the character reader keep their own, older reading.
    EXPECT_EQ(leadingNumber(u"1,000"), 1);
    EXPECT_EQ(leadingNumber(u"$5"), 0);
    EXPECT_EQ(leadingNumber(u"(5)"), 0);
    EXPECT_EQ(leadingNumber(u"5-"), 5);
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
