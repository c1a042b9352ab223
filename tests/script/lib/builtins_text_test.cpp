#include "builtin_harness.h"

using namespace quillet::script;
using namespace quillet::script::testing;

TEST(StringBuiltins, InStrArgumentFormsAndNull)
{
    Library lib;
    EXPECT_EQ(lib.call(u"InStr", {S(u"abcabc"), S(u"c")}).rawLong(), 3);
    EXPECT_EQ(lib.call(u"InStr", {I(4), S(u"abcabc"), S(u"c")}).rawLong(), 6);
    EXPECT_EQ(lib.call(u"InStr", {I(1), S(u"ABC"), S(u"b"), I(1)}).rawLong(), 2);
    EXPECT_TRUE(lib.call(u"InStr", {Value::null(), S(u"a")}).isNull());
    EXPECT_EQ(lib.error(u"InStr", {I(0), S(u"a"), S(u"a")}), 5);
    EXPECT_EQ(lib.error(u"InStr", {I(1), S(u"a"), S(u"a"), I(3)}), 5);
    EXPECT_EQ(lib.call(u"InStrRev", {S(u"a.b.c"), S(u".")}).rawLong(), 4);
    EXPECT_EQ(lib.call(u"InStrRev", {S(u"a.b.c"), S(u"."), I(3)}).rawLong(), 2);
    EXPECT_EQ(lib.error(u"InStrRev", {S(u"a"), S(u"a"), I(0)}), 5);
}

TEST(StringBuiltins, PiecesPropagateNullAndRejectNegativeLengths)
{
    Library lib;
    EXPECT_TRUE(lib.call(u"Len", {Value::null()}).isNull());
    EXPECT_EQ(lib.call(u"Len", {I(123)}).rawLong(), 3);
    EXPECT_EQ(lib.call(u"Len", {Value()}).rawLong(), 0);
    EXPECT_TRUE(lib.call(u"Left", {Value::null(), I(1)}).isNull());
    EXPECT_EQ(lib.error(u"Left", {S(u"abc"), I(-1)}), 5);
    EXPECT_EQ(lib.error(u"Left", {S(u"abc"), Value::null()}), 94);
    EXPECT_EQ(lib.text(u"Left", {S(u"abc"), I(5)}), u"abc");
    EXPECT_EQ(lib.text(u"Right", {S(u"abc"), I(2)}), u"bc");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abcdef"), I(2), I(3)}), u"bcd");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abc"), I(2)}), u"bc");
    EXPECT_EQ(lib.text(u"Mid", {S(u"abc"), I(5)}), u"");
    EXPECT_EQ(lib.error(u"Mid", {S(u"abc"), I(0)}), 5);
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
    EXPECT_EQ(lib.call(u"Asc", {S(u"A")}).rawInteger(), 65);
    EXPECT_EQ(lib.call(u"Asc", {S(u"€")}).rawInteger(), 128);
    EXPECT_EQ(lib.error(u"Asc", {S(u"")}), 5);
    EXPECT_EQ(lib.text(u"Chr", {I(128)}), u"€");
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

TEST(StringBuiltins, ReplaceSplitJoinFilterAndCompare)
{
    Library lib;
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbx"), S(u"x"), S(u"-")}), u"aXb-");
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbx"), S(u"x"), S(u"-"), I(1), I(-1), I(1)}), u"a-b-");
    EXPECT_EQ(lib.text(u"Replace", {S(u"aXbXcX"), S(u"X"), S(u"-"), I(3), I(1)}), u"b-cX");
    EXPECT_EQ(lib.text(u"Replace", {S(u"abc"), S(u"b"), S(u""), Value::missing(), Value::missing(), I(0)}), u"ac");
    EXPECT_EQ(lib.error(u"Replace", {Value::null(), S(u"a"), S(u"b")}), 94);

    const Value parts = lib.call(u"Split", {S(u"a,b,,c"), S(u",")});
    EXPECT_EQ(lib.call(u"UBound", {parts}).rawLong(), 3);
    EXPECT_EQ(lib.text(u"Join", {parts, S(u"+")}), u"a+b++c");
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Split", {S(u"x y")})}), u"x y");
    EXPECT_EQ(lib.call(u"UBound", {lib.call(u"Split", {S(u"")})}).rawLong(), -1);
    EXPECT_EQ(lib.call(u"UBound", {lib.call(u"Split", {S(u"a-b-c"), S(u"-"), I(2)})}).rawLong(), 1);

    const Value words = lib.call(u"Array", {S(u"Apple"), S(u"pear"), S(u"Plum")});
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Filter", {words, S(u"p")}), S(u",")}), u"Apple,pear");
    EXPECT_EQ(lib.text(u"Join", {lib.call(u"Filter", {words, S(u"p"), Value::boolean(false), I(1)}), S(u",")}), u"");
    EXPECT_EQ(lib.error(u"Join", {S(u"not an array")}), 13);

    EXPECT_EQ(lib.call(u"StrComp", {S(u"a"), S(u"B")}).rawInteger(), 1);
    EXPECT_EQ(lib.call(u"StrComp", {S(u"a"), S(u"B"), I(1)}).rawInteger(), -1);
    EXPECT_TRUE(lib.call(u"StrComp", {S(u"a"), Value::null()}).isNull());
}

TEST(ArrayBuiltins, BoundsAndDimensions)
{
    Library lib;
    const Value a = lib.call(u"Array", {I(1), I(2), I(3)});
    EXPECT_EQ(lib.call(u"LBound", {a}).rawLong(), 0);
    EXPECT_EQ(lib.call(u"UBound", {a, I(1)}).rawLong(), 2);
    EXPECT_EQ(lib.error(u"UBound", {a, I(2)}), 9);
    EXPECT_EQ(lib.error(u"UBound", {I(1)}), 13);
    const int32_t bounds[] = {2, 4};
    const Value grid = Value::newArray(bounds);
    EXPECT_EQ(lib.call(u"UBound", {grid, I(2)}).rawLong(), 4);
    EXPECT_EQ(lib.call(u"UBound", {lib.call(u"Array", {})}).rawLong(), -1);
}

TEST(FormatBuiltins, NumbersCurrencyPercentAndDates)
{
    Library lib;
    EXPECT_EQ(lib.text(u"FormatNumber", {D(1234.5)}), u"1,234.50");
    EXPECT_EQ(lib.text(u"FormatNumber", {D(0.5), I(0)}), u"1");
    EXPECT_EQ(lib.text(u"FormatNumber", {D(-0.25), I(1), I(0), I(-1), I(0)}), u"(.3)");
    EXPECT_EQ(lib.text(u"FormatNumber", {S(u"1e3"), Value::missing(), Value::missing(), Value::missing(), I(0)}),
              u"1000.00");
    EXPECT_EQ(lib.error(u"FormatNumber", {S(u"abc")}), 13);
    EXPECT_EQ(lib.error(u"FormatNumber", {D(1), I(2), I(3)}), 5);
    EXPECT_EQ(lib.text(u"FormatCurrency", {D(-1234.5)}), u"($1,234.50)");
    EXPECT_EQ(lib.text(u"FormatPercent", {D(0.256), I(1)}), u"25.6%");
    const Value when = Value::date(lib.call(u"DateSerial", {I(2026), I(12), I(6)}).rawDate() +
                                   lib.call(u"TimeSerial", {I(15), I(4), I(5)}).rawDate());
    EXPECT_EQ(lib.text(u"FormatDateTime", {when}), u"12/6/2026 3:04:05 PM");
    EXPECT_EQ(lib.text(u"FormatDateTime", {when, I(1)}), u"Sunday, December 6, 2026");
    EXPECT_EQ(lib.text(u"FormatDateTime", {when, I(2)}), u"12/6/2026");
    EXPECT_EQ(lib.text(u"FormatDateTime", {when, I(3)}), u"3:04:05 PM");
    EXPECT_EQ(lib.text(u"FormatDateTime", {when, I(4)}), u"15:04");
    EXPECT_EQ(lib.error(u"FormatDateTime", {when, I(5)}), 5);
}

TEST(DateBuiltins, PartsNamesAndArithmetic)
{
    Library lib;
    const Value d = S(u"12/6/2026 3:04:05 PM");
    EXPECT_EQ(lib.call(u"Year", {d}).rawInteger(), 2026);
    EXPECT_EQ(lib.call(u"Month", {d}).rawInteger(), 12);
    EXPECT_EQ(lib.call(u"Day", {d}).rawInteger(), 6);
    EXPECT_EQ(lib.call(u"Hour", {d}).rawInteger(), 15);
    EXPECT_EQ(lib.call(u"Minute", {d}).rawInteger(), 4);
    EXPECT_EQ(lib.call(u"Second", {d}).rawInteger(), 5);
    EXPECT_TRUE(lib.call(u"Year", {Value::null()}).isNull());
    EXPECT_EQ(lib.call(u"Weekday", {d}).rawInteger(), 1);
    EXPECT_EQ(lib.call(u"Weekday", {d, I(2)}).rawInteger(), 7);
    EXPECT_EQ(lib.text(u"WeekdayName", {I(1)}), u"Sunday");
    EXPECT_EQ(lib.text(u"WeekdayName", {I(1), Value::boolean(true), I(2)}), u"Mon");
    EXPECT_EQ(lib.error(u"WeekdayName", {I(8)}), 5);
    EXPECT_EQ(lib.text(u"MonthName", {I(2), Value::boolean(true)}), u"Feb");
    EXPECT_EQ(lib.text(u"DateValue", {d}), u"12/6/2026");
    EXPECT_EQ(lib.text(u"TimeValue", {d}), u"3:04:05 PM");
    EXPECT_EQ(lib.text(u"DateSerial", {I(2026), I(14), I(0)}), u"1/31/2027");
    EXPECT_EQ(lib.text(u"DateAdd", {S(u"m"), I(1), S(u"1/31/2026")}), u"2/28/2026");
    EXPECT_EQ(lib.text(u"DateAdd", {S(u"n"), I(-5), d}), u"12/6/2026 2:59:05 PM");
    EXPECT_EQ(lib.error(u"DateAdd", {S(u"x"), I(1), d}), 5);
    EXPECT_EQ(lib.call(u"DateDiff", {S(u"d"), S(u"1/1/2026"), d}).rawLong(), 339);
    EXPECT_EQ(lib.call(u"DateDiff", {S(u"yyyy"), S(u"12/31/2025"), S(u"1/1/2026")}).rawLong(), 1);
    EXPECT_EQ(lib.call(u"DatePart", {S(u"q"), d}).rawInteger(), 4);
    EXPECT_EQ(lib.call(u"DatePart", {S(u"ww"), S(u"1/1/2021"), I(2), I(2)}).rawInteger(), 53);
    EXPECT_EQ(lib.call(u"Date", {}).type(), Type::Date);
    EXPECT_EQ(lib.call(u"Now", {}).rawDate() - lib.call(u"Date", {}).rawDate() < 1.0, true);
    const float timer = lib.call(u"Timer", {}).rawSingle();
    EXPECT_TRUE(timer >= 0 && timer < 86400);
}
