// The engine's memory limit as scripts meet it: every kind of value that
// can grow counts against it, going past it is error 7 that On Error Resume
// Next catches with the memory given back, and a reset starts afresh.
#include "script/engine.h"

#include <gtest/gtest.h>

namespace quillet::script {
namespace {

constexpr size_t kLimit = size_t(4) << 20; // 4 MB

EngineLimits smallLimit()
{
    EngineLimits limits;
    limits.memoryLimit = kLimit;
    // Should memory go uncounted, the endless fillers stop (error 18)
    // instead of taking the machine's memory.
    limits.stepBudget = 20'000'000;
    return limits;
}

// A script that fills memory one way, in a procedure so that its values
// go when it returns.
struct Filler {
    const char16_t* name;
    const char16_t* code;
    int line; // of the statement that runs out
};

const Filler kFillers[] = {
    {u"doubling string", u"Sub fill\ns = \"x\"\nDo\ns = s & s\nLoop\nEnd Sub", 4},
    {u"appended string", u"Sub fill\nDo\ns = s & \"some text\"\nLoop\nEnd Sub", 3},
    {u"many strings", u"Sub fill\nReDim a(1000)\nFor i = 0 To 1000\na(i) = Space(100000)\nNext\nEnd Sub", 4},
    {u"huge ReDim", u"Sub fill\nReDim a(1000000)\nEnd Sub", 2},
    {u"ReDim Preserve", u"Sub fill\nReDim a(0)\nDo\nReDim Preserve a(UBound(a) + 1000)\nLoop\nEnd Sub", 4},
    {u"arrays of arrays", u"Sub fill\nReDim a(1000)\nFor i = 0 To 1000\n"
                          u"a(i) = Array(Array(Space(2000)), Array(Space(2000)))\nNext\nEnd Sub", 4},
    {u"dictionary", u"Sub fill\nSet d = CreateObject(\"Scripting.Dictionary\")\nDo\nd.Add d.Count, Empty\nLoop\nEnd Sub", 4},
    {u"class instances", u"Class Cell\nDim a, b, c, d\nEnd Class\nSub fill\nSet first = Nothing\nDo\nSet c = New Cell\n"
                         u"Set c.a = first\nSet first = c\nLoop\nEnd Sub", 7},
    // The pieces are charged as they are split off, before the list of
    // them could take far more than the text itself.
    {u"split", u"Sub fill\ns = String(1000000, \",\")\na = Split(s, \",\")\nEnd Sub", 3},
    {u"regexp matches", u"Sub fill\nSet r = New RegExp\nr.Global = True\nr.Pattern = \".\"\n"
                        u"Set m = r.Execute(Space(200000))\nEnd Sub", 5},
};

TEST(MemoryLimit, EveryKindOfValueRunsOutAtTheLimitAndGivesItBack)
{
    for (const Filler& filler : kFillers) {
        SCOPED_TRACE(toUtf8(filler.name));
        Engine engine(smallLimit());
        ASSERT_TRUE(engine.addCode(filler.code));
        const size_t before = engine.memoryInUse();
        EXPECT_FALSE(engine.run(u"fill"));
        EXPECT_EQ(7, engine.lastError().number);
        EXPECT_EQ(vbErrorDescription(7), engine.lastError().description);
        EXPECT_EQ(filler.line, engine.lastError().line);
        EXPECT_EQ(before, engine.memoryInUse()) << "everything the procedure held is credited";
    }
}

TEST(MemoryLimit, WorkBelowTheLimitBalancesToZero)
{
    Engine engine(smallLimit());
    ASSERT_TRUE(engine.addCode(u"Class Item\nPublic Name, Parts\nEnd Class\n"
                               u"Function work\n"
                               u"Set d = CreateObject(\"Scripting.Dictionary\")\n"
                               u"For i = 1 To 2000\n"
                               u"Set it = New Item\nit.Name = \"item \" & i\nit.Parts = Split(\"a b c \" & i)\n"
                               u"d.Add it.Name, it\n"
                               u"Next\n"
                               u"d.Remove \"item 7\"\nd.Key(\"item 8\") = \"eight\"\n"
                               u"k = d.Keys\nReDim Preserve k(10)\n"
                               u"Set r = New RegExp\nr.Global = True\nr.Pattern = \"(\\w+) (\\d+)\"\n"
                               u"Set m = r.Execute(Join(k, \";\"))\n"
                               u"work = d.Count & \" \" & m.Count & \" \" & m(0).SubMatches(1)\n"
                               u"End Function"));
    const size_t before = engine.memoryInUse();
    for (int round = 0; round < 2; ++round) {
        auto result = engine.run(u"work");
        ASSERT_TRUE(result) << toUtf8(engine.lastError().description);
        EXPECT_EQ(u"1999 10 1", result->toText());
        EXPECT_GT(engine.memoryInUse(), before) << "the result is still held";
        result.reset();
        EXPECT_EQ(before, engine.memoryInUse());
    }
}

TEST(MemoryLimit, OutOfMemoryIsCaughtAndTheScriptGoesOnWithTheMemoryBack)
{
    Engine engine(smallLimit());
    ASSERT_TRUE(engine.addCode(u"On Error Resume Next\n"
                               u"s = \"x\"\n"
                               u"Do While Err.Number = 0\ns = s & s\nLoop\n"
                               u"e1 = Err.Number\nErr.Clear\n"
                               u"held = Len(s)\n"
                               u"s = Empty\n"
                               u"t = Space(1000000)\n" // 2 MB: fits only because s went
                               u"e2 = Err.Number\n"
                               u"Set d = CreateObject(\"Scripting.Dictionary\")\n"
                               u"For i = 1 To 1000000\nd(i) = i\nIf Err.Number <> 0 Then Exit For\nNext\n"
                               u"e3 = Err.Number\nErr.Clear\n"
                               u"t = Empty\n"
                               u"d(\"after\") = \"still works\"\n"
                               u"e4 = Err.Number\n"));
    EXPECT_EQ(7, engine.eval(u"e1")->toInt32());
    EXPECT_GE(engine.eval(u"held")->toInt32(), 262144) << "the string kept what it had";
    EXPECT_EQ(0, engine.eval(u"e2")->toInt32());
    EXPECT_EQ(7, engine.eval(u"e3")->toInt32());
    EXPECT_EQ(0, engine.eval(u"e4")->toInt32());
    EXPECT_EQ(u"still works", engine.eval(u"d(\"after\")")->toText());
    EXPECT_EQ(engine.eval(u"d.Count")->toInt32(), engine.eval(u"i")->toInt32())
        << "the dictionary stays whole: every entry that went in is there";
}

TEST(MemoryLimit, CompiledCodeCountsAndCodeThatDefinesNothingGoesOnceRun)
{
    // Kept, 20000 such units (each with an Eval under it) would take far
    // more than the limit: each is freed when it has run.
    Engine engine(smallLimit());
    ASSERT_TRUE(engine.addCode(u"Sub churn\nFor i = 1 To 20000\n"
                               u"Execute \"x = \" & i & \" + Eval(\"\"\" & i & \"\"\") ' \" & Space(200)\nNext\nEnd Sub"));
    const size_t before = engine.memoryInUse();
    EXPECT_TRUE(engine.run(u"churn")) << toUtf8(engine.lastError().description);
    EXPECT_LT(engine.memoryInUse() - before, size_t(1024)) << "only the global x is left";
    EXPECT_EQ(40000, engine.eval(u"x")->toInt32());

    // Procedures and globals stay for the session: made in a loop, they
    // meet the limit; a reset gives it all back.
    const Text growers[] = {u"Do\ni = i + 1\nExecuteGlobal \"Sub p\" & i & \" : End Sub\"\nLoop",
                            u"Do\ni = i + 1\nExecuteGlobal \"v\" & i & \" = 0\"\nLoop"};
    for (const Text& grower : growers) {
        SCOPED_TRACE(toUtf8(grower));
        Engine growing(smallLimit());
        const size_t start = growing.memoryInUse();
        EXPECT_FALSE(growing.addCode(grower));
        EXPECT_EQ(7, growing.lastError().number);
        EXPECT_EQ(3, growing.lastError().line);
        growing.reset();
        EXPECT_EQ(start, growing.memoryInUse());
    }
}

// Eval code is cached for the expressions a script evaluates again and
// again, but only so much of it: evaluating ever new texts neither runs
// out of memory nor holds more than the recent ones.
TEST(MemoryLimit, CachedEvalCodeIsBounded)
{
    Engine engine(smallLimit());
    ASSERT_TRUE(engine.addCode(u"Function churn(n)\nFor i = 1 To n\n"
                               u"x = Eval(i & \" + 0 ' \" & Space(100))\n"
                               u"y = Eval(\"Eval(\"\"\" & i & \"\"\") + Eval(\"\"1\"\")\")\n"
                               u"Next\nchurn = x + y\nEnd Function\n"));
    auto churn = [&engine](int32_t times) {
        Value n[] = {Value::longInt(times)};
        const auto result = engine.run(u"churn", n);
        EXPECT_TRUE(result) << toUtf8(engine.lastError().description);
        return result ? result->toInt32() : 0;
    };
    EXPECT_EQ(6001, churn(3000));
    const size_t afterFew = engine.memoryInUse();
    EXPECT_EQ(60001, churn(30000));
    EXPECT_LT(engine.memoryInUse(), afterFew + afterFew / 10) << "ten times the texts, the same memory";
    // What is used again stays cached and keeps working.
    EXPECT_EQ(60001, churn(30000));
}

TEST(MemoryLimit, VariablesThatExecuteDeclaresInAProcedureCount)
{
    // Each Dim adds a variable to the call, and each lookup walks them:
    // a small limit and step budget keep this test quick.
    EngineLimits limits = smallLimit();
    limits.memoryLimit = size_t(256) << 10;
    limits.stepBudget = 30000;
    Engine engine(limits);
    EXPECT_FALSE(engine.addCode(u"Sub f\nDo\ni = i + 1\nExecute \"Dim v\" & i\nLoop\nEnd Sub\nf"));
    EXPECT_EQ(7, engine.lastError().number);
    EXPECT_EQ(4, engine.lastError().line);
}

TEST(MemoryLimit, AResetStartsAfreshAndTheDefaultStopsHugeArraysAtOnce)
{
    Engine engine(smallLimit());
    ASSERT_TRUE(engine.addCode(u"Dim kept\nkept = Space(1500000)")); // 3 MB held in a global
    EXPECT_FALSE(engine.addCode(u"more = Space(1000000)"));
    EXPECT_EQ(7, engine.lastError().number);
    engine.reset();
    EXPECT_LT(engine.memoryInUse(), size_t(64) << 10);
    EXPECT_TRUE(engine.addCode(u"Dim kept\nkept = Space(1500000)"));

    // 100 million elements fit the single-array cap but not the default
    // limit: refused before 1.6 GB are allocated.
    Engine unlimited;
    EXPECT_FALSE(unlimited.addCode(u"ReDim a(100000000)"));
    EXPECT_EQ(7, unlimited.lastError().number);
    EXPECT_TRUE(unlimited.addCode(u"ReDim a(1000000)"));
}

} // namespace
} // namespace quillet::script
