#include "builtin_harness.h"

using namespace quillet::script;
using namespace quillet::script::testing;

// The common cases of these builtins are in the golden lib_strings.vbs,
// lib_null_arguments.vbs, lib_arrays.vbs, lib_format.vbs and lib_dates.vbs;
// these are the edges the scripts do not reach.
TEST(StringBuiltins, InStrRejectsBadStartsAndCompareModes)
{
    Library lib;
    EXPECT_EQ(lib.error(u"InStr", {I(0), S(u"a"), S(u"a")}), 5);
    EXPECT_EQ(lib.error(u"InStr", {I(1), S(u"a"), S(u"a"), I(3)}), 5);
    EXPECT_EQ(lib.error(u"InStrRev", {S(u"a"), S(u"a"), I(0)}), 5);
}

TEST(StringBuiltins, PiecesPropagateNullAndRejectNegativeLengths)
{
    Library lib;
    EXPECT_EQ(lib.call(u"Len", {I(123)}).rawLong(), 3);
    EXPECT_EQ(lib.error(u"Left", {S(u"abc"), Value::null()}), 94);
    EXPECT_EQ(lib.text(u"Left", {S(u"abc"), I(5)}), u"abc");
    EXPECT_EQ(lib.text(u"Right", {S(u"abc"), I(2)}), u"bc");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abcdef"), I(2), I(3)}), u"bcd");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abc"), I(2)}), u"bc");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abc"), I(5)}), u"");
    EXPECT_TRUE(lib.call(u"UCase", {Value::null()}).isNull());
    EXPECT_EQ(lib.text(u"LCase", {S(u"ÀBC")}), u"àbc");
    EXPECT_EQ(lib.text(u"Trim", {S(u"  a b  ")}), u"a b");
    EXPECT_EQ(lib.text(u"LTrim", {S(u"  a ")}), u"a ");
    EXPECT_EQ(lib.text(u"RTrim", {S(u" a  ")}), u" a");
    EXPECT_EQ(lib.error(u"StrReverse", {Value::null()}), 94);
    EXPECT_EQ(lib.text(u"StrReverse", {S(u"abc")}), u"cba");
}

TEST(StringBuiltins, CharacterCodesUseWindows1252ForAnsi)
{
    Library lib;
    EXPECT_EQ(lib.text(u"Chr", {I(233)}), u"é");
    EXPECT_EQ(lib.error(u"Chr", {I(256)}), 5);
    EXPECT_EQ(lib.call(u"AscW", {lib.call(u"ChrW", {L(65535)})}).rawInteger(), -1);
    EXPECT_EQ(lib.text(u"ChrW", {L(0x263A)}), u"\x263A");
    EXPECT_EQ(lib.text(u"String", {I(3), S(u"xy")}), u"xxx");
    EXPECT_EQ(lib.text(u"String", {I(2), I(65 + 256)}), u"AA");
    EXPECT_EQ(lib.error(u"String", {I(2), I(-1)}), 5);
    EXPECT_EQ(lib.text(u"Space", {I(2)}), u"  ");
    EXPECT_EQ(lib.error(u"Space", {I(-1)}), 5);
}

TEST(StringBuiltins, ReplaceSplitJoinAndFilter)
{
    Library lib;
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbx"), S(u"x"), S(u"-")}), u"aXb-");
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbx"), S(u"x"), S(u"-"), I(1), I(-1), I(1)}), u"a-b-");
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbXcX"), S(u"X"), S(u"-"), I(3), I(1)}), u"b-cX");
    EXPECT_EQ(lib.text(u"Replace", {S(u"abc"), S(u"b"), S(u""), Value::missing(), Value::missing(), I(0)}), u"ac");

    const Value parts = lib.call(u"Split", {S(u"a,b,,c"), S(u",")});
    EXPECT_EQ(lib.text(u"Join", {parts, S(u"+")}), u"a+b++c");
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Split", {S(u"x y")})}), u"x y");
    EXPECT_EQ(lib.call(u"UBound", {lib.call(u"Split", {S(u"a-b-c"), S(u"-"), I(2)})}).rawLong(), 1);

    const Value words = lib.call(u"Array", {S(u"Apple"), S(u"pear"), S(u"Plum")});
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Filter", {words, S(u"p")}), S(u",")}), u"Apple,pear");
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Filter", {words, S(u"p"), Value::boolean(false), I(1)}), S(u",")}), u"");
    EXPECT_EQ(lib.error(u"Join", {S(u"not an array")}), 13);
}

TEST(ArrayBuiltins, BoundsAndDimensions)
{
    Library lib;
    const Value a = lib.call(u"Array", {I(1), I(2), I(3)});
    EXPECT_EQ(lib.call(u"UBound", {a, I(1)}).rawLong(), 2);
    EXPECT_EQ(lib.error(u"UBound", {a, I(2)}), 9);
}

TEST(FormatBuiltins, NumbersCurrencyPercentAndDates)
{
    Library lib;
    EXPECT_EQ(lib.text(u"FormatNumber", {D(1234.5)}), u"1,234.50");
    EXPECT_EQ(lib.text(u"FormatNumber", {D(0.5), I(0)}), u"1");
    EXPECT_EQ(lib.text(u"FormatNumber", {D(-0.25), I(1), I(0), I(-1), I(0)}), u"(.3)");
    EXPECT_EQ(lib.text(u"FormatNumber", {S(u"1e3"), Value::missing(), Value::missing(), Value::missing(), I(0)}),
              u"1000.00");
    EXPECT_EQ(lib.error(u"FormatNumber", {D(1), I(2), I(3)}), 5);
    EXPECT_EQ(lib.text(u"FormatCurrency", {D(-1234.5)}), u"($1,234.50)");
    EXPECT_EQ(lib.text(u"FormatPercent", {D(0.256), I(1)}), u"25.6%");
    const Value when = Value::date(lib.call(u"DateSerial", {I(2026), I(12), I(6)}).rawDate() +
                                   lib.call(u"TimeSerial", {I(15), I(4), I(5)}).rawDate());
    EXPECT_EQ(lib.error(u"FormatDateTime", {when, I(5)}), 5);
}

TEST(DateBuiltins, PartsNamesAndArithmetic)
{
    Library lib;
    const Value d = S(u"12/6/2026 3:04:05 PM");
    EXPECT_EQ(lib.text(u"WeekdayName", {I(1), Value::boolean(true), I(2)}), u"Mon");
    EXPECT_EQ(lib.text(u"DateValue", {d}), u"12/6/2026");
    EXPECT_EQ(lib.text(u"TimeValue", {d}), u"3:04:05 PM");
    EXPECT_EQ(lib.text(u"DateSerial", {I(2026), I(14), I(0)}), u"1/31/2027");
    EXPECT_EQ(lib.text(u"DateAdd", {S(u"n"), I(-5), d}), u"12/6/2026 2:59:05 PM");
    EXPECT_EQ(lib.call(u"Now", {}).rawDate() - lib.call(u"Date", {}).rawDate() < 1.0, true);
    const float timer = lib.call(u"Timer", {}).rawSingle();
    EXPECT_TRUE(timer >= 0 && timer < 86400);
}
