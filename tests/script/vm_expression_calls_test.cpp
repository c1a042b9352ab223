// Functions whose body is one arithmetic expression over their parameters,
// which a direct call works out without running the body: each case runs
// against the same function with a body that has to run (a statement
// before the expression, on the same line so that errors report the same
// line),
// for the values, types and errors of every kind of argument.
#include "script/engine.h"

#include "eval_after.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet::script {
namespace {

using testing::evalAfter;

// F(a, b, c) = `expression`, worked out straight (`general` false) or by
// running its body.
Text function(const Text& expression, bool general)
{
    return u"Const K = 7\nFunction F(a, b, c)\n  " + Text(general ? u"z = 0: " : u"") + u"F = " + expression +
           u"\nEnd Function\n";
}

TEST(VmExpressionCalls, ValuesAndErrorsAreTheBodysForEveryKindOfArgument)
{
    const char16_t* expressions[] = {
        u"a + b + c",     u"a - b * c",   u"(a + b) \\ c", u"a Mod (b + 2)", u"a / (b - 1)",
        u"a * 2 + 1.5",   u"(a - K) \\ 2", u"a * a * b",    u"c",             u"((a)) - (b - c)",
    };
    const char16_t* values[] = {u"CInt(5)",     u"CInt(32767)", u"CInt(-32768)", u"CLng(2147483647)",
                                u"CLng(-40000)", u"1.5",         u"1E+300",       u"0",
                                u"-1",          u"\"4\"",       u"Empty",        u"Null",
                                u"True",        u"CByte(200)",  u"CCur(2.5)"};
    // The arguments as locals, a local stepped, a constant, a local
    // computed and a global, inside a procedure (the call's own statement
    // is the general way's when it fails, under Resume Next).
    const Text calls = u"Function T()\n  Dim k, m: k = v: m = v\n"
                       u"  On Error Resume Next\n  T = \"none\"\n"
                       u"  T = F(k, m + 1, v) & \" \" & TypeName(F(k, m - 1, 3)) & \" \" & F(2, k - m, v)\n"
                       u"  If Err.Number <> 0 Then T = T & \" error \" & Err.Number\n"
                       u"End Function\n";
    for (const char16_t* expression : expressions) {
        for (const char16_t* value : values) {
            auto program = [&](bool general) {
                return function(expression, general) + u"v = " + value + u"\n" + calls;
            };
            EXPECT_EQ(evalAfter(program(true), u"T()"), evalAfter(program(false), u"T()"))
                << toUtf8(expression) << " with " << toUtf8(value);
        }
    }
    // Mixed types at the edges of Integer and Long, and a value that grows
    // past the Long range on the way to a smaller one.
    const char16_t* mixed[] = {
        u"p = CInt(32767): q = CInt(1): r = CInt(0)", u"p = CInt(32767): q = CLng(1): r = CInt(-1)",
        u"p = CLng(2147483647): q = 1: r = -1",       u"p = 2.5: q = CInt(2): r = 1",
        u"p = 65536: q = 65536: r = 2",               u"p = CInt(-32768): q = CInt(-1): r = CInt(1)",
    };
    for (const char16_t* expression : expressions) {
        for (const char16_t* arguments : mixed) {
            auto program = [&](bool general) {
                return function(expression, general) + arguments + u"\ny = F(p, q, r)";
            };
            EXPECT_EQ(evalAfter(program(true), u"TypeName(y) & \" \" & y"),
                      evalAfter(program(false), u"TypeName(y) & \" \" & y"))
                << toUtf8(expression) << " with " << toUtf8(arguments);
        }
    }
}

TEST(VmExpressionCalls, AnErrorIsRaisedOnTheBodysLine)
{
    for (bool general : {true, false}) {
        Engine engine;
        EXPECT_FALSE(engine.addCode(function(u"a \\ b", general) + u"x = 1\ny = F(5, 0, 1)"));
        EXPECT_EQ(11, engine.lastError().number) << general;
        EXPECT_EQ(3, engine.lastError().line) << general;
    }
}

TEST(VmExpressionCalls, ACallCountsInTheDepthAndAsAStep)
{
    // At the depth limit the call fails as a call, before its statement's
    // next one: d is the deepest level, r the one before.
    const Text deep = u"Dim d, r\nSub Deep(n)\n  d = n\n  x = F(n, 1, 1)\n  r = n\n  Deep n + 1\nEnd Sub\n"
                      u"On Error Resume Next\nDeep 1\ne = Err.Number\n";
    EngineLimits limits;
    limits.maxCallDepth = 50;
    for (bool general : {true, false})
        EXPECT_EQ(u"28 50 49", evalAfter(function(u"a + b", general) + deep, u"e & \" \" & d & \" \" & r", limits))
            << general;
    // A step budget stops a loop of calls at the same turn either way.
    Text stoppedAt[2];
    for (bool general : {true, false}) {
        EngineLimits budget;
        budget.stepBudget = 101;
        Engine engine(budget);
        EXPECT_FALSE(
            engine.addCode(function(u"a + b", general) + u"Dim i, y\nFor i = 1 To 1000\n  y = F(i, 1, 1)\nNext"));
        EXPECT_TRUE(engine.lastError().stopped);
        const auto i = engine.eval(u"i & \" \" & y");
        ASSERT_TRUE(i);
        stoppedAt[general] = i->toText();
    }
    EXPECT_EQ(stoppedAt[true], stoppedAt[false]);
}

TEST(VmExpressionCalls, ARedefinedFunctionIsCalledAsItIsNow)
{
    // After the first turn, F is made a function with a body to run, then
    // one expression again; a call works out whichever F is there.
    const Text program = function(u"a + b", false) +
                         u"y = 0\nFor n = 1 To 3\n  y = y * 1000 + F(n, 1, 1)\n"
                         u"  If n = 1 Then ExecuteGlobal \"Function F(a, b, c): z = 0: F = a * 10: End Function\"\n"
                         u"  If n = 2 Then ExecuteGlobal \"Function F(a, b, c): F = a - b: End Function\"\n"
                         u"Next\n";
    EXPECT_EQ(u"2020002", evalAfter(program, u"y"));
}

} // namespace
} // namespace quillet::script
