#include "builtin_harness.h"

using namespace quillet::script;
using namespace quillet::script::testing;

TEST(ConversionBuiltins, RoundHalvesToEvenAndCheckRanges)
{
    Library lib;
    EXPECT_EQ(lib.call(u"CInt", {D(2.5)}).rawInteger(), 2);
    EXPECT_EQ(lib.call(u"CInt", {D(3.5)}).rawInteger(), 4);
    EXPECT_EQ(lib.call(u"CLng", {S(u" 12 ")}).rawLong(), 12);
    EXPECT_EQ(lib.error(u"CInt", {D(32767.5)}), 6);
    EXPECT_EQ(lib.error(u"CInt", {Value::null()}), 94);
    EXPECT_EQ(lib.error(u"CLng", {S(u"abc")}), 13);
    EXPECT_EQ(lib.call(u"CBool", {S(u"true")}).rawBoolean(), true);
    EXPECT_EQ(lib.call(u"CByte", {D(255.4)}).rawByte(), 255);
    EXPECT_EQ(lib.text(u"CCur", {D(1.23456)}), u"1.2346");
    EXPECT_EQ(lib.call(u"CDate", {S(u"12/6/2026")}).type(), Type::Date);
    EXPECT_EQ(lib.error(u"CDate", {S(u"not a date")}), 13);
    EXPECT_EQ(lib.text(u"CStr", {D(0.1)}), u"0.1");
    EXPECT_EQ(lib.call(u"CSng", {D(1.5)}).type(), Type::Single);
}

TEST(ConversionBuiltins, HexAndOctShowSixteenOrThirtyTwoBits)
{
    Library lib;
    EXPECT_EQ(lib.text(u"Hex", {I(255)}), u"FF");
    EXPECT_EQ(lib.text(u"Hex", {I(-1)}), u"FFFF");
    EXPECT_EQ(lib.text(u"Hex", {L(-1)}), u"FFFFFFFF");
    EXPECT_EQ(lib.text(u"Hex", {D(-1.0)}), u"FFFFFFFF");
    EXPECT_EQ(lib.text(u"Hex", {Value()}), u"0");
    EXPECT_EQ(lib.text(u"Oct", {I(8)}), u"10");
    EXPECT_TRUE(lib.call(u"Hex", {Value::null()}).isNull());
    EXPECT_EQ(lib.error(u"Hex", {D(1e10)}), 6);
}

TEST(ConversionBuiltins, WholeNumberFunctionsKeepTheSubtype)
{
    Library lib;
    EXPECT_EQ(lib.call(u"Fix", {D(-2.5)}).rawDouble(), -2.0);
    EXPECT_EQ(lib.call(u"Int", {D(-2.5)}).rawDouble(), -3.0);
    EXPECT_EQ(lib.call(u"Int", {I(7)}).type(), Type::Integer);
    EXPECT_EQ(lib.call(u"Int", {S(u"2.7")}).type(), Type::Double);
    EXPECT_TRUE(lib.call(u"Fix", {Value::null()}).isNull());
    const Value abs = lib.call(u"Abs", {I(-32768)});
    EXPECT_EQ(abs.type(), Type::Long);
    EXPECT_EQ(abs.rawLong(), 32768);
    EXPECT_EQ(lib.call(u"Sgn", {D(-0.1)}).rawInteger(), -1);
    EXPECT_EQ(lib.call(u"Round", {D(2.5)}).rawDouble(), 2.0);
    EXPECT_EQ(lib.call(u"Round", {D(-3.5)}).rawDouble(), -4.0);
    EXPECT_EQ(lib.call(u"Round", {D(1.2345), I(3)}).rawDouble(), 1.234);
    EXPECT_EQ(lib.call(u"Round", {D(2.567), I(2)}).rawDouble(), 2.57);
    EXPECT_EQ(lib.error(u"Round", {D(1.5), I(-1)}), 5);
    EXPECT_TRUE(lib.call(u"Round", {Value::null()}).isNull());
}

TEST(ConversionBuiltins, MathFunctionsAndTheirDomains)
{
    Library lib;
    EXPECT_EQ(lib.call(u"Sqr", {I(9)}).rawDouble(), 3.0);
    EXPECT_EQ(lib.error(u"Sqr", {I(-1)}), 5);
    EXPECT_EQ(lib.error(u"Log", {I(0)}), 5);
    EXPECT_EQ(lib.error(u"Exp", {I(1000)}), 6);
    EXPECT_NEAR(lib.call(u"Atn", {I(1)}).rawDouble() * 4, 3.14159265358979, 1e-12);
    EXPECT_FLOAT_EQ(lib.call(u"Rnd", {}).rawSingle(), 0.7055475f);
    EXPECT_FLOAT_EQ(lib.call(u"Rnd", {I(0)}).rawSingle(), 0.7055475f);
    EXPECT_FLOAT_EQ(lib.call(u"Rnd", {I(-1)}).rawSingle(), 0.224007f);
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
    EXPECT_TRUE(lib.call(u"IsNumeric", {Value()}).rawBoolean());
    EXPECT_FALSE(lib.call(u"IsNumeric", {Value::null()}).rawBoolean());
    EXPECT_TRUE(lib.call(u"IsDate", {S(u"Dec 6, 2026")}).rawBoolean());
    EXPECT_FALSE(lib.call(u"IsDate", {I(5)}).rawBoolean());
    EXPECT_TRUE(lib.call(u"IsEmpty", {Value()}).rawBoolean());
    EXPECT_TRUE(lib.call(u"IsNull", {Value::null()}).rawBoolean());
    EXPECT_EQ(lib.text(u"TypeName", {D(1)}), u"Double");
    EXPECT_EQ(lib.call(u"VarType", {S(u"x")}).rawInteger(), 8);
    EXPECT_EQ(lib.call(u"VarType", {lib.call(u"Array", {S(u"a")})}).rawInteger(), 8204);
}

TEST(Constants, TypedAsTheirLiterals)
{
    Library lib;
    EXPECT_EQ(lib.constant(u"VBCRLF").rawText(), u"\r\n");
    EXPECT_EQ(lib.constant(u"vbNullChar").rawText(), quillet::Text(1, u'\0'));
    EXPECT_EQ(lib.constant(u"vbObjectError").rawLong(), -2147221504);
    EXPECT_EQ(lib.constant(u"vbWhite").type(), Type::Long);
    EXPECT_EQ(lib.constant(u"vbSunday").type(), Type::Integer);
    EXPECT_EQ(lib.constant(u"vbMsgBoxRtlReading").rawLong(), 1048576);
    EXPECT_EQ(lib.constant(u"vbUseDefault").rawInteger(), -2);
    EXPECT_EQ(lib.call(u"RGB", {I(255), I(128), I(300)}).rawLong(), 255 + 128 * 256 + 255 * 65536);
    EXPECT_EQ(lib.error(u"RGB", {I(-1), I(0), I(0)}), 5);
    EXPECT_EQ(lib.text(u"ScriptEngine", {}), u"VBScript");
    EXPECT_EQ(lib.text(u"ScriptEngineMajorVersion", {}) + lib.text(u"ScriptEngineMinorVersion", {}), u"58");
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
