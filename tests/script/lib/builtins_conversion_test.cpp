#include "builtin_harness.h"

using namespace quillet::script;
using namespace quillet::script::testing;

// The conversions' common cases are in the golden lib_conversions.vbs and
// lib_math.vbs; these are the edges the scripts do not reach.
TEST(ConversionBuiltins, RangesTextAndHexWidths)
{
    Library lib;
    EXPECT_EQ(lib.call(u"CLng", {S(u" 12 ")}).rawLong(), 12);
    EXPECT_EQ(lib.error(u"CInt", {D(32767.5)}), 6);
    EXPECT_EQ(lib.call(u"CBool", {S(u"true")}).rawBoolean(), true);
    EXPECT_EQ(lib.call(u"CByte", {D(255.4)}).rawByte(), 255);
    EXPECT_EQ(lib.call(u"CDate", {S(u"12/6/2026")}).type(), Type::Date);
    EXPECT_EQ(lib.text(u"CStr", {D(0.1)}), u"0.1");
    EXPECT_EQ(lib.text(u"Hex", {D(-1.0)}), u"FFFFFFFF"); // a Double goes as a Long
    EXPECT_EQ(lib.text(u"Hex", {Value()}), u"0");
}

TEST(ConversionBuiltins, WholeNumberFunctionsKeepTheSubtype)
{
    Library lib;
    EXPECT_EQ(lib.call(u"Int", {I(7)}).type(), Type::Integer);
    EXPECT_EQ(lib.call(u"Int", {S(u"2.7")}).type(), Type::Double);
    EXPECT_TRUE(lib.call(u"Fix", {Value::null()}).isNull());
    const Value abs = lib.call(u"Abs", {I(-32768)});
    EXPECT_EQ(abs.type(), Type::Long);
    EXPECT_EQ(abs.rawLong(), 32768);
    EXPECT_EQ(lib.call(u"Sgn", {D(-0.1)}).rawInteger(), -1);
    EXPECT_EQ(lib.call(u"Round", {D(-3.5)}).rawDouble(), -4.0);
    EXPECT_EQ(lib.call(u"Round", {D(1.2345), I(3)}).rawDouble(), 1.234);
    EXPECT_EQ(lib.call(u"Round", {D(2.567), I(2)}).rawDouble(), 2.57);
    EXPECT_TRUE(lib.call(u"Round", {Value::null()}).isNull());
}

TEST(ConversionBuiltins, MathFunctionsAndTheirDomains)
{
    Library lib;
    EXPECT_EQ(lib.call(u"Sqr", {I(9)}).rawDouble(), 3.0);
    EXPECT_NEAR(lib.call(u"Atn", {I(1)}).rawDouble() * 4, 3.14159265358979, 1e-12);
    // Randomize n mixes n into the current seed: the same calls give the
    // same numbers.
    Library first, second;
    first.call(u"Randomize", {I(5)});
    second.call(u"Randomize", {I(5)});
    EXPECT_EQ(first.call(u"Rnd", {}).rawSingle(), second.call(u"Rnd", {}).rawSingle());
    EXPECT_NE(first.call(u"Rnd", {}).rawSingle(), lib.call(u"Rnd", {}).rawSingle());
}

TEST(InspectionBuiltins, ReportSubtypes)
{
    Library lib;
    EXPECT_TRUE(lib.call(u"IsNumeric", {S(u" 1e3 ")}).rawBoolean());
    EXPECT_FALSE(lib.call(u"IsNumeric", {S(u"12abc")}).rawBoolean());
    EXPECT_TRUE(lib.call(u"IsDate", {S(u"Dec 6, 2026")}).rawBoolean());
}

TEST(Constants, TypedAsTheirLiterals)
{
    Library lib;
    EXPECT_EQ(lib.constant(u"VBCRLF").rawText(), u"\r\n");
    EXPECT_EQ(lib.constant(u"vbNullChar").rawText(), quillet::Text(1, u'\0'));
    EXPECT_EQ(lib.constant(u"vbSunday").type(), Type::Integer);
    EXPECT_EQ(lib.call(u"RGB", {I(255), I(128), I(300)}).rawLong(), 255 + 128 * 256 + 255 * 65536);
}

TEST(InteractionBuiltins, MessageAndInputBoxesAskTheHost)
{
    Library lib;
    quillet::Text seen;
    lib.context.ui.messageBox = [&](const quillet::Text& prompt, int buttons, const quillet::Text& title) {
        seen = prompt + u"|" + title + u"|" + quillet::decimalText(buttons);
        return 7;
    };
    EXPECT_EQ(lib.call(u"MsgBox", {S(u"Sure?"), I(4)}).rawInteger(), 7);
    EXPECT_EQ(seen, u"Sure?|VBScript|4");
    lib.context.ui.inputBox = [](const quillet::Text&, const quillet::Text&, const quillet::Text&) {
        return std::optional<quillet::Text>();
    };
    EXPECT_EQ(lib.text(u"InputBox", {S(u"Name?"), S(u"T"), S(u"Bob")}), u"");
}
