// How compiled calls take their arguments when what they call is known only
// at run time: a global that stops being a procedure, host members that do
// or do not write arguments back, and subscripts that replace the array
// being indexed.
#include "script/engine.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet::script {
namespace {

Text evalAfter(Engine& engine, const Text& code, const Text& expression)
{
    EXPECT_TRUE(engine.addCode(code)) << toUtf8(engine.lastError().description);
    const auto v = engine.eval(expression);
    return v ? v->toText() : u"(error " + fromUtf8(std::to_string(engine.lastError().number)) + u")";
}

TEST(VmArguments, AGlobalThatStopsBeingAProcedureIsIndexedInstead)
{
    Engine engine;
    EXPECT_EQ(u"100", evalAfter(engine,
                                u"Function F(i)\n  F = i * 100\nEnd Function\n"
                                u"Function UseF()\n  UseF = F(1)\nEnd Function\n"
                                u"a = UseF()",
                                u"a"));
    // The code of UseF was compiled when F was a procedure.
    EXPECT_EQ(u"6", evalAfter(engine, u"ExecuteGlobal \"Dim F: F = Array(5, 6)\"\nb = UseF()", u"b"));
}

TEST(VmArguments, HostMembersTakeValuesWhereTheyAreWritten)
{
    Engine engine;
    engine.addObject(u"Host", testing::makeTestHost(), false);
    // Greet does not write its arguments back: `who` is read before the
    // second argument changes it.
    EXPECT_EQ(u"Hi, before", evalAfter(engine,
                                       u"who = \"before\"\n"
                                       u"Function Change()\n  who = \"after\"\n  Change = \"Hi\"\nEnd Function\n"
                                       u"r = Host.Greet(who, Change())",
                                       u"r"));
    // Twice writes back: into a String array's element it arrives as text.
    EXPECT_EQ(u"8 String", evalAfter(engine, u"parts = Split(\"3 4\")\nHost.Twice parts(1)",
                                     u"parts(1) & \" \" & TypeName(parts(1))"));
}

TEST(VmArguments, ASubscriptThatReplacesTheArrayIsAnErrorNotACrash)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Dim arr\n"
                               u"Function Wipe()\n  arr = 0\n  Wipe = 1\nEnd Function\n"
                               u"Sub Touch(v)\n  v = 9\nEnd Sub\n"));
    EXPECT_FALSE(engine.addCode(u"arr = Array(1, 2, 3)\nx = arr(Wipe())"));
    EXPECT_EQ(13, engine.lastError().number);
    EXPECT_FALSE(engine.addCode(u"arr = Array(1, 2, 3)\nTouch arr(Wipe())"));
    EXPECT_EQ(13, engine.lastError().number);
    // The engine goes on working.
    EXPECT_EQ(u"9 2", evalAfter(engine, u"arr = Array(1, 2, 3)\nTouch arr(0)", u"arr(0) & \" \" & UBound(arr)"));
}

} // namespace
} // namespace quillet::script
