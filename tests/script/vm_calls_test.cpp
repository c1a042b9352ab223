// Script procedure calls: the slots each call takes from the runtime's
// stack (reused call after call, in chunks that never move), and the
// direct call of a global procedure against the general way: arguments by
// reference and by value, errors, the depth limit, and values released
// when a call ends however it ends.
#include "script/core/slot_stack.h"
#include "script/engine.h"

#include "eval_after.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet::script {
namespace {

Text number(long n)
{
    return fromUtf8(std::to_string(n));
}

using testing::evalAfter;

TEST(SlotStack, SlotsStayWhereTheyAreAcrossChunksAndComeBackEmpty)
{
    SlotStack stack;
    // A first chunk too small for the first frame is replaced, and a frame
    // of no slots, given back after that, does not point into the old one.
    stack.give(stack.take(10));
    Value* none = stack.take(0);
    Value* first = stack.take(5000);
    EXPECT_NE(none, first);
    stack.give(first);
    stack.give(none);
    first = stack.take(5000);
    EXPECT_EQ(1u, stack.chunkCount());
    // Frames of 1000 slots go on in further chunks; the earlier ones stay.
    std::vector<Value*> frames{first};
    for (int i = 1; i < 12; ++i) {
        Value* slots = stack.take(1000);
        for (int k = 0; k < 1000; ++k)
            ASSERT_TRUE(slots[k].isEmpty()) << i << " " << k;
        frames.push_back(slots);
    }
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i][999] = Value::string(u"frame " + number(long(i)));
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(u"frame " + number(long(i)), frames[i][999].toText());
    for (size_t i = frames.size(); i-- > 0;) {
        frames[i][999] = Value();
        stack.give(frames[i]);
    }
    // Back at the bottom: the same slots again, and not every chunk the
    // deep run needed is kept.
    EXPECT_EQ(first, stack.take(3));
    EXPECT_LE(stack.chunkCount(), 2u);
}

TEST(VmCalls, ParametersGetTheirArgumentsAsTheGeneralWay)
{
    const Text procs = u"Function Both(ByVal a, ByRef b, c)\n  a = a + 1: b = b + 1: c = c + 1\n"
                       u"  Both = a + b + c\nEnd Function\n"
                       u"x = 1: y = 10: z = 100\n";
    // Variables: ByVal copies, ByRef and the default write back.
    EXPECT_EQ(u"114 1 11 101", evalAfter(procs + u"r = Both(x, y, z)", u"r & \" \" & x & \" \" & y & \" \" & z"));
    // The same through the general way ((x) passes a copy).
    EXPECT_EQ(u"114 1 11 100", evalAfter(procs + u"r = Both(x, y, (z))", u"r & \" \" & x & \" \" & y & \" \" & z"));
    // One variable passed twice: the by-value copy is taken before the call.
    EXPECT_EQ(u"8 3", evalAfter(procs + u"x = 1: r = Both(x, x, x)", u"r & \" \" & x"));
    // An object passed by value is the same object.
    EXPECT_EQ(u"True", evalAfter(u"Function Same(ByVal o, p)\n  Same = o Is p\nEnd Function\n"
                                 u"Set d = CreateObject(\"Scripting.Dictionary\")\nr = Same(d, d)",
                                 u"r"));
}

TEST(VmCalls, ComputedArgumentsTakeTheTypeTheOperatorGives)
{
    // `n + 1` and `n - 1` over a local are made straight in the callee's
    // slot: Integer while it fits, then Long, then Double, and anything
    // that is no whole number by the general rules.
    const Text procs = u"Function T(v)\n  T = TypeName(v) & \":\" & v\nEnd Function\n"
                       u"Function Via(n, m)\n  Via = T(n + 1) & \" \" & T(n - 1) & \" \" & T(m - 1) & \" \" & "
                       u"T(m + 40000) & \" \" & T(n - 2.5)\nEnd Function\n";
    EXPECT_EQ(u"Long:32768 Integer:32766 Double:-2147483649 Long:-2147443648 Double:32764.5",
              evalAfter(procs, u"Via(CInt(32767), CLng(-2147483648))"));
    EXPECT_EQ(u"Integer:-32767 Long:-32769 Long:2147483646 Double:2147523647 Double:-32770.5",
              evalAfter(procs, u"Via(CInt(-32768), CLng(2147483647))"));
    EXPECT_EQ(u"Double:6 Double:4 Integer:-1 Long:40000 Double:2.5", evalAfter(procs, u"Via(\"5\", Empty)"));
}

TEST(VmCalls, EveryCallStartsWithEmptyLocals)
{
    // Slots are reused call after call: what one call left, or what an
    // error left half made, is gone for the next.
    const Text procs = u"Function F(x)\n  Dim a, b\n  F = IsEmpty(a) & IsEmpty(b) & IsEmpty(F)\n  a = x: b = \"t\" & x\n"
                       u"End Function\n"
                       u"Function Fails(x)\n  Dim a\n  a = x\n  Fails = a & (x / 0)\nEnd Function\n"
                       u"Function Deep(n)\n  Dim s: s = n\n  If n > 0 Then Deep = Deep(n - 1) & s Else Deep = F(n)\n"
                       u"End Function\n";
    EXPECT_EQ(u"TrueTrueTrue TrueTrueTrue", evalAfter(procs + u"r = F(1) & \" \" & F(2)", u"r"));
    EXPECT_EQ(u"11 TrueTrueTrue",
              evalAfter(procs + u"On Error Resume Next\nr = Fails(3)\ne = Err.Number\nr = F(4)", u"e & \" \" & r"));
    EXPECT_EQ(u"TrueTrueTrue123 TrueTrueTrue", evalAfter(procs + u"r = Deep(3) & \" \" & F(9)", u"r"));
}

TEST(VmCalls, DeepCallsOverManyChunksPassReferencesDown)
{
    // 300 locals a call: a recursion 60 deep spans several chunks, and a
    // reference to the outermost call's local reaches the innermost one.
    Text locals;
    for (int i = 0; i < 300; ++i)
        locals += u"  Dim v" + number(i) + u": v" + number(i) + u" = n\n";
    const Text program = u"Sub Down(n, total)\n" + locals +
                         u"  total = total + v299\n  If n > 0 Then Down n - 1, total\n"
                         u"  If v0 <> n Or v299 <> n Then total = -1\nEnd Sub\n"
                         u"Function Run()\n  Dim t: t = 0\n  Down 60, t\n  Run = t\nEnd Function\n";
    EXPECT_EQ(u"1830 1830", evalAfter(program + u"r = Run()", u"r & \" \" & Run()"));
}

TEST(VmCalls, RecursionRunsOutOfStackAtTheSameDepthEitherWay)
{
    // Direct calls (plain arguments) and the general way ((n) + 1, a
    // parenthesised argument) count the same calls.  (A limit the C++
    // stack budget cannot reach first, even in a sanitizer's build.)
    const Text direct = u"Function R(n)\n  d = n\n  R = R(n + 1)\nEnd Function\n";
    const Text general = u"Function R(n)\n  d = n\n  R = R((n) + 1)\nEnd Function\n";
    const Text run = u"Dim d\nOn Error Resume Next\nx = R(1)\ne = Err.Number\n";
    EngineLimits limits;
    limits.maxCallDepth = 100;
    EXPECT_EQ(u"28 100", evalAfter(direct + run, u"e & \" \" & d", limits));
    EXPECT_EQ(u"28 100", evalAfter(general + run, u"e & \" \" & d", limits));
    // The limit leaves the engine working: a call afterwards runs.
    EXPECT_EQ(u"28 5", evalAfter(direct + run + u"Function One(a)\n  One = a\nEnd Function\nd = One(5)",
                                 u"e & \" \" & d", limits));
}

TEST(VmCalls, EveryWayOutOfABodyReturnsItsValue)
{
    // Bodies ending in an If, a Select or a loop, and Exit Function from
    // inside blocks that hold something (a For Each, a With).
    const Text procs =
        u"Function Sign(n)\n  If n < 0 Then\n    Sign = -1\n  ElseIf n = 0 Then\n    Sign = 0\n  Else\n    Sign = 1\n  End If\nEnd Function\n"
        u"Function Name(n)\n  Select Case n\n    Case 1: Name = \"one\"\n    Case Else: Name = \"many\"\n  End Select\nEnd Function\n"
        u"Function Find(items, x)\n  Find = -1\n  Dim k, v: k = 0\n  For Each v In items\n    With v\n"
        u"      If v = x Then Find = k: Exit Function\n    End With\n    k = k + 1\n  Next\nEnd Function\n"
        u"Function Count(n)\n  Do While Count < n\n    Count = Count + 1\n  Loop\nEnd Function\n";
    EXPECT_EQ(u"-1 0 1", evalAfter(procs, u"Sign(-5) & \" \" & Sign(0) & \" \" & Sign(3)"));
    EXPECT_EQ(u"one many", evalAfter(procs, u"Name(1) & \" \" & Name(2)"));
    EXPECT_EQ(u"2 -1", evalAfter(procs, u"Find(Array(4, 5, 6), 6) & \" \" & Find(Array(4), 9)"));
    EXPECT_EQ(u"4", evalAfter(procs, u"Count(4)"));
}

TEST(VmCalls, ValuesACallHeldGoWhenItEnds)
{
    // Class_Terminate of a callee's local runs as the call ends, and itself
    // calls procedures (with slots above the ending call's); the caller's
    // values are untouched.
    const Text program =
        u"Dim log\nClass Noisy\n  Public Name\n  Private Sub Class_Terminate\n    log = log & Tag(Name)\n  End Sub\nEnd Class\n"
        u"Function Tag(s)\n  Dim t: t = \"[\" & s & \"]\"\n  Tag = t\nEnd Function\n"
        u"Function Make(s)\n  Dim o: Set o = New Noisy: o.Name = s\n  Make = Len(s)\nEnd Function\n"
        u"Function Broken(s)\n  Dim o: Set o = New Noisy: o.Name = s\n  Broken = 1 / 0\nEnd Function\n";
    EXPECT_EQ(u"[a] 1 b", evalAfter(program + u"k = \"b\": r = Make(\"a\")", u"log & \" \" & r & \" \" & k"));
    // An error leaving the callee releases its locals before the caller
    // goes on.
    EXPECT_EQ(u"[x]11", evalAfter(program + u"On Error Resume Next\nr = Broken(\"x\")\nlog = log & Err.Number", u"log"));
    // A function's value, made where its caller takes it, goes in its
    // place among the locals when an error leaves the call: after those
    // declared later, before the parameters; and on a normal return it
    // goes to the caller.
    const Text valued =
        u"Function Half(ByVal p, q)\n  Dim a: Set a = New Noisy: a.Name = \"a\"\n  Set p = New Noisy: p.Name = \"p\"\n"
        u"  Dim r: Set r = New Noisy: r.Name = \"value\": Set Half = r: Set r = Nothing\n"
        u"  Dim z: Set z = New Noisy: z.Name = \"z\"\n  If q Then Err.Raise 5\nEnd Function\n";
    EXPECT_EQ(u"[z][a][value][p]5",
              evalAfter(program + valued + u"On Error Resume Next\nSet v = Half(0, True)\nlog = log & Err.Number", u"log"));
    EXPECT_EQ(u"[z][a][p] value [value]",
              evalAfter(program + valued + u"Set v = Half(0, False)\nlog = log & \" \" & v.Name & \" \"\nSet v = Nothing",
                        u"log"));
}


TEST(VmCalls, AppendsAndExecuteVariablesBelongToTheirOwnCall)
{
    // Each call appending while a piece runs another call that appends:
    // deeper than the blocks the runtime keeps for reuse, and back up
    // through them.
    const Text nest = u"Function Nest(n)\n  Dim s: s = \"<\" & n\n"
                      u"  If n > 0 Then s = s & \",\" & Nest(n - 1) & \">\" Else s = s & \">\"\n"
                      u"  Nest = s\nEnd Function\n";
    EXPECT_EQ(u"<12,<11,<10,<9,<8,<7,<6,<5,<4,<3,<2,<1,<0>>>>>>>>>>>>>", evalAfter(nest, u"Nest(12)"));
    // A Class_Terminate that appends and declares through Execute, run
    // as a piece drops the last reference, and as an Execute variable goes
    // with the call that declared it; a call after it declares nothing.
    const Text program =
        u"Dim log\nClass Noisy\n  Public Name\n  Private Sub Class_Terminate\n"
        u"    Dim t: t = \"~\": t = t & Name & \";\"\n    Execute \"Dim z: z = 1\"\n    log = log & t\n  End Sub\nEnd Class\n"
        u"Function Gone(s)\n  Dim o: Set o = New Noisy: o.Name = s\n  Set o = Nothing\n  Gone = s\nEnd Function\n"
        u"Function Keep(s)\n  Dim a: a = \"[\" & s\n  Execute \"Dim o: Set o = New Noisy: o.Name = \"\"\" & s & \"\"\"\"\n"
        u"  a = a & Gone(s & \"!\") & \"]\"\n  Keep = a\nEnd Function\n"
        u"Function Later()\n  Dim a: a = \"\": a = a & \"later\"\n  Execute \"seen = IsEmpty(o) And IsEmpty(z)\"\n"
        u"  Later = a & \" \" & seen\nEnd Function\n"
        u"r = Keep(\"k\") & \" \" & log\n";
    EXPECT_EQ(u"[kk!] ~k!;~k; later True", evalAfter(program + u"r = r & \" \" & Later()", u"r"));
}

} // namespace
} // namespace quillet::script
