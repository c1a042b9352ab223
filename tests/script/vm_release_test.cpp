// When compiled code lets go of what it holds (temporaries on its stack,
// With objects, For Each collections) and where a stop is reported: seen
// through Class_Terminate and the engine's last error.
#include "script/engine.h"

#include <gtest/gtest.h>

namespace quillet::script {
namespace {

// A class whose instances note their end in the global `log`.
constexpr char16_t kTracked[] =
    u"Dim log\n"
    u"Class T\n"
    u"  Public Name\n"
    u"  Sub Class_Terminate\n"
    u"    log = log & \"~\" & Name\n"
    u"  End Sub\n"
    u"End Class\n"
    u"Function Make(n)\n"
    u"  Set Make = New T\n"
    u"  Make.Name = n\n"
    u"End Function\n";

Text logAfter(const Text& code)
{
    Engine engine;
    EXPECT_TRUE(engine.addCode(kTracked));
    EXPECT_TRUE(engine.addCode(code)) << toUtf8(engine.lastError().description);
    const auto log = engine.eval(u"log");
    return log ? log->toText() : u"(no log)";
}

TEST(VmRelease, TemporariesOfAFailedStatementGoBeforeTheNextOne)
{
    EXPECT_EQ(u"~a|next", logAfter(u"On Error Resume Next\n"
                                   u"x = Make(\"a\").Name & (1 / 0)\n"
                                   u"log = log & \"|next\""));
    // Also when the error comes from inside a call with the temporary as
    // an argument.
    EXPECT_EQ(u"~b|next", logAfter(u"Sub Fail(o)\n  Err.Raise 5\nEnd Sub\n"
                                   u"On Error Resume Next\n"
                                   u"Fail Make(\"b\")\n"
                                   u"log = log & \"|next\""));
    // And when the value to assign was already handed to the member that
    // fails.
    EXPECT_EQ(u"~v|next", logAfter(u"Set o = Make(\"o\")\n"
                                   u"On Error Resume Next\n"
                                   u"Set o.Missing(1) = Make(\"v\")\n"
                                   u"log = log & \"|next\""));
}

TEST(VmRelease, LeavingBlocksEarlyReleasesWhatTheyHeld)
{
    // Exit For out of a For Each: the walked array (and the object in it)
    // goes at once.
    EXPECT_EQ(u"~a|after", logAfter(u"For Each x In Array(1, Make(\"a\"))\n"
                                     u"  Exit For\n"
                                     u"Next\n"
                                     u"log = log & \"|after\""));
    // Exit Sub out of a With: the With object goes before the caller goes on.
    EXPECT_EQ(u"~w|after", logAfter(u"Sub S\n  With Make(\"w\")\n    Exit Sub\n  End With\nEnd Sub\n"
                                     u"S\n"
                                     u"log = log & \"|after\""));
    // An error leaving the procedure from inside a With and a Select.
    EXPECT_EQ(u"~s~w|after", logAfter(u"Sub S\n  With Make(\"w\")\n    Select Case Make(\"s\").Name\n"
                                      u"    Case \"s\"\n      Err.Raise 9\n    End Select\n  End With\nEnd Sub\n"
                                      u"On Error Resume Next\nS\n"
                                      u"log = log & \"|after\""));
}

TEST(VmRelease, AStopIsReportedAtTheInnermostStatement)
{
    EngineLimits limits;
    limits.stepBudget = 1000;
    Engine engine(limits);
    EXPECT_FALSE(engine.addCode(u"Sub Spin\n  Dim i\n  Do\n    i = i + 1\n  Loop\nEnd Sub\n"
                                u"On Error Resume Next\n"
                                u"Spin"));
    EXPECT_TRUE(engine.lastError().stopped);
    EXPECT_EQ(3, engine.lastError().line);
    EXPECT_EQ(u"  Do", engine.lastError().lineText);
}

TEST(VmRelease, AnEvalErrorBelongsToTheStatementThatCalledEval)
{
    Engine engine;
    EXPECT_FALSE(engine.addCode(u"x = 1\n\ny = Eval(\"x / 0\")\n"));
    EXPECT_EQ(11, engine.lastError().number);
    EXPECT_EQ(3, engine.lastError().line);
}

} // namespace
} // namespace quillet::script
