// A stop request ends a run wherever it is: between statements, inside a
// long builtin, inside a host object's own long member, while a
// Class_Terminate runs.  The request is made by a host member the script
// calls, so that it is set at a known statement.
#include "script/engine.h"
#include "script/stop_poll.h"
#include "test_host.h"

#include <gtest/gtest.h>

namespace quillet::script {
namespace {

// "Stopper.Request" asks the engine to stop, as the Stop button does while
// a script runs; "Stopper.Spin" is a host member that works long and polls.
Value makeStopper(Engine& engine)
{
    auto request = [&engine](std::span<Value>) {
        engine.requestStop();
        return Value();
    };
    auto spin = [](std::span<Value>) {
        StopPoll poll;
        for (long i = 0; i < 100'000'000; ++i)
            poll.tick();
        return Value::string(u"spun to the end");
    };
    return testing::makeMethodsHost(u"Stopper", {{u"Request", request}, {u"Spin", spin}});
}

struct LongCall {
    const char16_t* setup; // runs before the request
    const char16_t* call;  // the one statement after it
};

// Each builtin here works on a million units or a couple of hundred
// thousand elements: far more than it may go through between two polls.
TEST(StopRequest, EndsALongBuiltinFromInside)
{
    const LongCall calls[] = {
        {u"big = String(1000000, \"a\")", u"r = InStr(big, \"ab\")"},
        {u"big = String(1000000, \"a\")", u"r = InStr(1, big, String(20001, \"a\") & \"b\", 1)"},
        {u"big = String(1000000, \"a\")", u"r = InStrRev(big, \"ba\")"},
        {u"big = String(1000000, \"a\")", u"r = InStrB(big, \"b\")"},
        {u"big = String(1000000, \"a\")", u"r = Replace(big, \"a\", \"b\")"},
        {u"big = String(1000000, \"a\")", u"r = Split(big, \"a\")"},
        {u"big = String(1000000, \"a\")", u"r = StrReverse(big)"},
        {u"big = String(1000000, \"a\")", u"r = UCase(big)"},
        {u"big = String(1000000, \"A\")", u"r = LCase(big)"},
        {u"big = String(1000000, \"a\")", u"r = StrComp(big, big & \"\", 1)"},
        {u"big = String(1000000, \"a\")", u"r = Escape(big)"},
        {u"big = String(1000000, \"a\")", u"r = MidB(big, 2)"},
        {u"", u"r = String(1000000, \"a\")"},
        {u"", u"r = Space(1000000)"},
        {u"a = Split(Space(200000))", u"r = Join(a, \"-\")"},
        {u"a = Split(Space(200000))", u"r = Filter(a, \"x\")"},
        {u"", u"ReDim a(200000)"},
        {u"ReDim a(200000)", u"b = a : b(0) = 1"},
        {u"ReDim a(200000)", u"ReDim Preserve a(200001)"},
        {u"Set d = CreateObject(\"Scripting.Dictionary\") : For i = 1 To 200000 : d(i) = i : Next", u"k = d.Keys"},
        {u"Set re = New RegExp : re.Global = True : re.Pattern = \"a\" : big = String(1000000, \"a\")",
         u"r = re.Replace(big, \"b\")"},
        {u"Set re = New RegExp : re.Pattern = \"(a|b)*c\" : big = String(1000000, \"a\")", u"r = re.Test(big)"},
        {u"code = Replace(Space(20000), \" \", \"x = 1\" & vbLf)", u"Execute code"},
        {u"", u"r = Stopper.Spin"},
    };
    for (const LongCall& c : calls) {
        Engine engine;
        engine.addObject(u"Stopper", makeStopper(engine), false);
        const Text code = Text(u"On Error Resume Next\n") + c.setup + u"\nStopper.Request\n" + c.call + u"\nDone = True";
        EXPECT_FALSE(engine.addCode(code)) << toUtf8(c.call);
        const ScriptErrorInfo& e = engine.lastError();
        EXPECT_TRUE(e.stopped) << toUtf8(c.call);
        EXPECT_EQ(18, e.number) << toUtf8(c.call);
        EXPECT_EQ(4, e.line) << toUtf8(c.call) << ": " << toUtf8(e.description);
    }
}

// The terminator is abandoned where it stopped, and the run it interrupted
// ends too, even when it makes no further loop turn or call.
TEST(StopRequest, AStopInsideClassTerminateEndsTheRun)
{
    const Text classes = u"Class Slow\n"
                         u"  Sub Class_Terminate\n"
                         u"    Stopper.Request\n"
                         u"    Do\n"
                         u"    Loop\n"
                         u"  End Sub\n"
                         u"End Class\n"
                         u"Class Endless\n"
                         u"  Sub Class_Terminate\n"
                         u"    Do\n"
                         u"    Loop\n"
                         u"  End Sub\n"
                         u"End Class\n";
    for (const char16_t* cls : {u"Slow", u"Endless"}) {
        EngineLimits limits;
        limits.stepBudget = 100000; // what ends the Endless one
        Engine engine(limits);
        engine.addObject(u"Stopper", makeStopper(engine), false);
        ASSERT_TRUE(engine.addCode(classes + u"Sub main\n  Set o = New " + cls + u"\n  Set o = Nothing\n  Done = True\nEnd Sub"));
        EXPECT_FALSE(engine.run(u"main")) << toUtf8(cls);
        const ScriptErrorInfo& e = engine.lastError();
        EXPECT_TRUE(e.stopped) << toUtf8(cls);
        EXPECT_EQ(18, e.number) << toUtf8(cls);
        EXPECT_EQ(cls == Text(u"Slow") ? 4 : 10, e.line) << toUtf8(cls) << ": reported in the terminator";
        EXPECT_EQ(u"    Do", e.lineText);
        // The next run starts afresh.
        EXPECT_TRUE(engine.addCode(u"x = 1")) << toUtf8(engine.lastError().description);
    }
}

// The calls a host makes for one run (reset, objects, code, main) are one
// run for the Stop button: a request made between two of them is not
// cleared by the next, as it is between runs outside a group.
TEST(StopRequest, AGroupOfCallsKeepsARequestMadeBetweenThem)
{
    const Text code = u"Dim count\nSub main\n  For count = 1 To 10\n  Next\nEnd Sub";
    Engine engine;
    {
        Engine::RunGroup group(engine);
        ASSERT_TRUE(engine.addCode(code));
        engine.requestStop();
        EXPECT_FALSE(engine.run(u"main"));
        EXPECT_TRUE(engine.lastError().stopped);
        EXPECT_EQ(18, engine.lastError().number);
        // main was stopped as it was called, before its loop.
        auto count = engine.eval(u"count");
        ASSERT_TRUE(count);
        EXPECT_TRUE(count->isEmpty());
    }
    // Outside a group each run clears the request; a new group clears it
    // as it starts.
    engine.requestStop();
    EXPECT_TRUE(engine.run(u"main")) << toUtf8(engine.lastError().description);
    engine.requestStop();
    Engine::RunGroup group(engine);
    EXPECT_TRUE(engine.run(u"main")) << toUtf8(engine.lastError().description);
    EXPECT_EQ(u"11", engine.eval(u"count")->toText());
}

TEST(StopRequest, PollingOutsideARunFindsNoRequest)
{
    Engine engine;
    engine.requestStop();
    // The engine's request is current only while it works.
    EXPECT_FALSE(StopScope::requested());
    EXPECT_NO_THROW(pollStop());
    // And a run clears an earlier request.
    EXPECT_TRUE(engine.addCode(u"r = Len(String(1000000, \"a\"))"));
}

} // namespace
} // namespace quillet::script
