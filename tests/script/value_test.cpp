// The Variant: conversions with VBScript's rounding and range rules,
// copy-on-write arrays and in-place string appends.
#include "script/value.h"

#include <gtest/gtest.h>

namespace quillet::script {
namespace {

TEST(ValueConversion, WholeNumbersRoundHalfToEvenAndCheckRange)
{
    EXPECT_EQ(2, Value::dbl(2.5).toInt16());
    EXPECT_EQ(4, Value::dbl(3.5).toInt16());
    EXPECT_EQ(-2, Value::string(u" -2.5 ").toInt32());
    EXPECT_THROW(Value::dbl(32767.5).toInt16(), VbError);
    EXPECT_THROW(Value::longInt(70000).toInt16(), VbError);
    EXPECT_EQ(-1, Value::boolean(true).toInt32());
    EXPECT_EQ(2, Value::currency(Currency::fromTicks(25000)).toInt32()); // 2.5 rounds to even
}

TEST(ValueConversion, TextAndNullRules)
{
    EXPECT_EQ(u"", Value().toText());
    EXPECT_EQ(u"True", Value::boolean(true).toText());
    EXPECT_EQ(u"-32768", Value::integer(-32768).toText());
    EXPECT_EQ(u"0.5", Value::dbl(0.5).toText());
    EXPECT_EQ(u"", Value::null().toConcatText());
    try {
        (void)Value::null().toText();
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(94, e.number());
    }
    try {
        (void)Value::string(u"abc").toDouble();
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(13, e.number());
    }
    EXPECT_TRUE(Value::string(u"true").toBool());
    EXPECT_FALSE(Value::string(u"0").toBool());
    EXPECT_EQ(u"Variant()", Value::arrayOf({}).typeName());
}

TEST(ValueArrays, AssignmentCopiesOnWrite)
{
    const int32_t bounds[] = {2};
    Value a = Value::newArray(bounds);
    a.mutableArray()->items[0] = Value::integer(1);
    Value b = a;
    EXPECT_EQ(a.rawArray(), b.rawArray());
    b.mutableArray()->items[0] = Value::integer(2);
    EXPECT_NE(a.rawArray(), b.rawArray());
    EXPECT_EQ(1, a.rawArray()->items[0].toInt32());
    EXPECT_EQ(2, b.rawArray()->items[0].toInt32());
}

TEST(ValueArrays, StringArrayTypeSurvivesCopiesAndUnsharing)
{
    Value a = Value::arrayOf({Value::string(u"x")});
    a.rawArray()->textItems = true;
    EXPECT_EQ(8200, a.varType());
    EXPECT_EQ(u"String()", a.typeName());
    Value b = a;
    b.mutableArray()->items[0] = Value::string(u"y");
    EXPECT_NE(a.rawArray(), b.rawArray());
    EXPECT_EQ(u"String()", b.typeName());
    // A copy taken while a by-reference argument locks the array.
    ++a.rawArray()->locks;
    Value c = a;
    --a.rawArray()->locks;
    EXPECT_NE(a.rawArray(), c.rawArray());
    EXPECT_EQ(8200, c.varType());
}

TEST(ValueArrays, FlatIndexChecksEverySubscript)
{
    const int32_t bounds[] = {1, 2};
    Value a = Value::newArray(bounds);
    const int32_t ok[] = {1, 2};
    EXPECT_EQ(5u, a.rawArray()->flatIndex(ok));
    const int32_t bad[] = {2, 0};
    EXPECT_THROW(a.rawArray()->flatIndex(bad), VbError);
    const int32_t tooFew[] = {1};
    EXPECT_THROW(a.rawArray()->flatIndex(tooFew), VbError);
    const int32_t huge[] = {100000, 100000};
    EXPECT_THROW(Value::newArray(huge), VbError);
}

TEST(ValueStrings, AppendIsInPlaceOnlyWhenUnshared)
{
    Value s = Value::string(u"ab");
    const Text* before = &s.rawText();
    s.appendText(u"cd");
    EXPECT_EQ(before, &s.rawText());
    Value shared = s;
    s.appendText(u"e");
    EXPECT_EQ(u"abcde", s.rawText());
    EXPECT_EQ(u"abcd", shared.rawText());
    Value n = Value::integer(5);
    n.appendText(u"x");
    EXPECT_EQ(u"5x", n.rawText());
}

} // namespace
} // namespace quillet::script
