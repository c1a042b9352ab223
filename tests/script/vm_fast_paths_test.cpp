// The machine's inline cases (operands read in place, whole-number and
// Double arithmetic, whole-number For loops, array elements with
// whole-number subscripts) against the general rules at their edges: the
// same results, the same errors, the same order of evaluation.
#include "script/engine.h"

#include "eval_after.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quillet::script {
namespace {

using testing::evalAfter;

// "line N error E" for the error that running `code` ends with.
std::string errorAt(const Text& code)
{
    Engine engine;
    if (engine.addCode(code))
        return "no error";
    return "line " + std::to_string(engine.lastError().line) + " error " + std::to_string(engine.lastError().number);
}

// Each case runs `values`, then one statement in the form the machine does
// in one step and, in a fresh engine, the same statement in a form that
// takes the general way (a subscript or an operand that is no plain
// variable); `y` must come out the same.
struct AgainstGeneral {
    Text values;
    Text inPlace;
    Text general;
};

void expectSameAsGeneral(const Text& setup, std::initializer_list<AgainstGeneral> cases)
{
    for (const AgainstGeneral& c : cases) {
        const Text values = setup + c.values + u"\n";
        EXPECT_EQ(evalAfter(values + c.general, u"y"), evalAfter(values + c.inPlace, u"y")) << toUtf8(c.inPlace);
    }
}

TEST(VmFastPaths, OperandsReadInPlaceKeepTheOrderOfEvaluation)
{
    // Bump adds 10 to n and returns it.  Read in place, a left variable is
    // still read before a right function runs, and a left function still
    // runs before a right variable is read.
    const Text bump = u"Function Bump()\n  n = n + 10\n  Bump = n\nEnd Function\nn = 1\n";
    EXPECT_EQ(u"12", evalAfter(bump + u"y = n + Bump", u"y"));
    EXPECT_EQ(u"22", evalAfter(bump + u"y = Bump + n", u"y"));
    // The same inside a procedure, with locals.
    EXPECT_EQ(u"7", evalAfter(u"Function F(a)\n  Dim b: b = 4\n  F = a + b\nEnd Function\ny = F(3)", u"y"));
}

TEST(VmFastPaths, ArithmeticWidensAndFailsAsTheGeneralRules)
{
    EXPECT_EQ(u"Long 32768", evalAfter(u"Dim i: i = 32767: y = i + 1", u"TypeName(y) & \" \" & y"));
    EXPECT_EQ(u"Double 2147483648", evalAfter(u"Dim i: i = 2147483647: y = i + 1", u"TypeName(y) & \" \" & y"));
    EXPECT_EQ(u"Double 2.5", evalAfter(u"Dim i: i = 5: y = i / 2", u"TypeName(y) & \" \" & y"));
    EXPECT_EQ(u"Double 3.5", evalAfter(u"Dim x: x = 1.5: y = x + 2", u"TypeName(y) & \" \" & y"));
    EXPECT_EQ(u"(error 6)", evalAfter(u"Dim x: x = 1E+308: y = x * 10", u"y"));
    EXPECT_EQ(u"(error 11)", evalAfter(u"Dim i: i = 5: y = i / 0", u"y"));
    EXPECT_EQ(u"(error 11)", evalAfter(u"Dim i: i = 5: y = i Mod 0", u"y"));
    EXPECT_EQ(u"(error 13)", evalAfter(u"Dim i: i = \"x\": y = i - 1", u"y"));
}

TEST(VmFastPaths, WholeNumberForLoopsPassTheLongRangeAsDouble)
{
    EXPECT_EQ(u"2 Double 2147483648",
              evalAfter(u"For i = 2147483646 To 2147483647\n  n = n + 1\nNext",
                        u"n & \" \" & TypeName(i) & \" \" & i"));
    // A body storing text in the counter sends the loop the general way.
    EXPECT_EQ(u"4 Double", evalAfter(u"For i = 1 To 5\n  n = n + 1\n  If i = 2 Then i = \"3\"\nNext",
                                      u"n & \" \" & TypeName(i)"));
}

TEST(VmFastPaths, WholeNumberForLoopsCountEitherWayAsTheGeneralRules)
{
    // Each loop's body notes the counter's type and value; then the counter
    // as the loop leaves it.  lo is the Long minimum (-2147483648 written
    // out is a Double).
    const struct {
        const char16_t* loop;
        const char16_t* trace;
    } cases[] = {
        {u"For i = -32767 To -32769 Step -1", u"Integer-32767 Integer-32768 Long-32769 Long-32770"},
        {u"For i = -2147483647 To lo Step -1", u"Long-2147483647 Long-2147483648 Double-2147483649"},
        {u"For i = 5 To lo Step -2147483647", u"Long5 Long-2147483642 Double-4294967289"},
        {u"For i = lo To lo Step -1", u"Long-2147483648 Double-2147483649"},
        {u"For i = lo To lo", u"Long-2147483648 Long-2147483647"},
        {u"For i = 2147483647 To 2147483647 Step -1", u"Long2147483647 Long2147483646"},
        {u"For i = -5 To -3 Step -1", u"Integer-5"},
        {u"For i = 3 To 1 Step 0", u"Integer3"},
        // Changed by the body, a counting-down loop goes on the general
        // way against the limit it was given; a narrow one stored a Long
        // steps on to an Integer.
        {u"For i = 10 To 1 Step -3\n  If i = 7 Then i = 5.5", u"Integer10 Double5.5 Double2.5 Double-0.5"},
        {u"For i = 10 To 1 Step -3\n  If i = 7 Then i = \"4\"", u"Integer10 String4 Double1 Double-2"},
        {u"For i = 2 To 0 Step -1\n  i = CLng(i)", u"Long2 Long1 Long0 Integer-1"},
        {u"For i = 0 To -3 Step -1\n  If i = -1 Then i = -32768.0", u"Integer0 Double-32768 Double-32769"},
    };
    for (const auto& c : cases) {
        const Text code = u"lo = -2147483647 - 1\n" + Text(c.loop) + u"\n  s = s & TypeName(i) & i & \" \"\nNext";
        EXPECT_EQ(Text(c.trace), evalAfter(code, u"s & TypeName(i) & i")) << toUtf8(c.loop);
    }
    // A step of 0 loops until the body leaves.
    EXPECT_EQ(u"3 Integer1", evalAfter(u"For i = 1 To 3 Step 0\n  n = n + 1\n  If n = 3 Then Exit For\nNext",
                                       u"n & \" \" & TypeName(i) & i"));
}

TEST(VmFastPaths, LoopsWithoutStepCountAsWithStepOne)
{
    // A loop written without Step steps its counter by 1 in a form of its
    // own: each loop against the same written with Step 1, the counter a
    // local, a by-reference parameter, and a global stepped in a procedure.
    // The trace notes the counter's type and value each turn, then as the
    // loop leaves it.
    const struct {
        const char16_t* bounds;
        const char16_t* body;
    } cases[] = {
        {u"1 To 3", u""},
        {u"32766 To 32768", u""},
        {u"-32769 To -32767", u""},
        {u"2147483646 To 2147483647", u""},
        {u"lo To lo + 1", u""},
        {u"5 To 3", u""},
        {u"1.5 To 3", u""},
        {u"\"1\" To 3", u""},
        {u"CLng(1) To 3", u""},
        {u"1 To 5", u"If i = 2 Then i = 2.5"},
        {u"1 To 5", u"If i = 2 Then i = \"3\""},
        {u"1 To 3", u"i = CLng(i)"},
        {u"1 To 40000", u"If i = 3 Then i = 32766"},
        {u"1 To 9", u"If i = 3 Then Exit For"},
    };
    auto trace = [](const Text& counter, const Text& head, const Text& body) {
        return u"  For " + counter + u" = " + head + u"\n    " + body + u"\n    s = s & TypeName(" + counter + u") & " +
               counter + u" & \" \"\n  Next\n  s = s & TypeName(" + counter + u") & " + counter + u"\n";
    };
    for (const auto& c : cases) {
        const Text head = c.bounds;
        const Text stepped = Text(c.bounds) + u" Step 1";
        auto programs = [&](const Text& loopHead) {
            const Text lo = u"  lo = -2147483647 - 1\n";
            return std::vector<Text>{
                u"Function F()\n  Dim i, s, lo\n" + lo + trace(u"i", loopHead, c.body) + u"  F = s\nEnd Function\n",
                u"Function F()\n  Dim k, lo: F = G(k)\nEnd Function\nFunction G(i)\n  Dim s, lo\n" + lo +
                    trace(u"i", loopHead, c.body) + u"  G = s\nEnd Function\n",
                u"Dim i\nFunction F()\n  Dim s, lo\n" + lo + trace(u"i", loopHead, c.body) + u"  F = s\nEnd Function\n",
            };
        };
        const auto up = programs(head);
        const auto general = programs(stepped);
        for (size_t k = 0; k < up.size(); ++k)
            EXPECT_EQ(evalAfter(general[k], u"F()"), evalAfter(up[k], u"F()"))
                << toUtf8(head) << " / " << toUtf8(c.body) << " / " << k;
    }
}

TEST(VmFastPaths, ArrayElementsFollowTheGeneralRulesAtTheEdges)
{
    const Text grid = u"Dim a(2, 3): a(1, 2) = 7\n";
    EXPECT_EQ(u"7", evalAfter(grid + u"y = a(1, 2)", u"y"));
    EXPECT_EQ(u"7", evalAfter(grid + u"y = a(1.4, 1.5)", u"y")); // rounded subscripts
    EXPECT_EQ(u"(error 9)", evalAfter(grid + u"y = a(3, 0)", u"y"));
    EXPECT_EQ(u"(error 9)", evalAfter(grid + u"a(1) = 1", u"y"));
    // A copy shares the storage until one side is written.
    EXPECT_EQ(u"7 5", evalAfter(grid + u"b = a: a(1, 2) = 5", u"b(1, 2) & \" \" & a(1, 2)"));
    // An element of a String array stays text.
    EXPECT_EQ(u"String", evalAfter(u"s = Split(\"a,b\", \",\"): s(0) = 5", u"TypeName(s(0))"));
}

TEST(VmFastPaths, ElementsAtVariableSubscriptsAgreeWithTheGeneralWay)
{
    // Each read or write at variable subscripts against the same one with
    // a subscript that is no plain variable ((i) to read, j + 0 to write),
    // which takes the general way.
    const Text setup = u"Dim a(2, 3): a(1, 2) = 7\nFunction Twice(x)\n  x = x * 2\n  Twice = x\nEnd Function\n";
    expectSameAsGeneral(setup, {
        {u"i = 1: j = 2", u"y = a(i, j)", u"y = a((i), (j))"},
        {u"i = 1.4: j = 1.5", u"y = a(i, j)", u"y = a((i), (j))"}, // rounded
        {u"i = \"1\": j = 2", u"y = a(i, j)", u"y = a((i), (j))"},
        {u"i = 3: j = 0", u"y = a(i, j)", u"y = a((i), (j))"}, // out of range
        {u"i = 1", u"y = a(i)", u"y = a((i))"},                // too few subscripts
        {u"i = Null: j = 1", u"y = a(i, j)", u"y = a((i), (j))"},
        {u"i = 1: j = 2", u"a(i, j) = 5: y = a(1, 2)", u"a(i, j + 0) = 5: y = a(1, 2)"},
        {u"i = 2: j = 3", u"b = a: a(i, j) = 5: y = b(2, 3) & a(2, 3)", u"b = a: a(i, j + 0) = 5: y = b(2, 3) & a(2, 3)"},
        {u"i = -1: j = 0", u"a(i, j) = 5: y = 1", u"a(i, j + 0) = 5: y = 1"},
        {u"i = 1: Set o = New RegExp", u"Set a(i, 0) = o: y = a(1, 0).Global", u"Set a(i + 0, 0) = o: y = a(1, 0).Global"},
        {u"i = 1: s = Split(\"a,b\", \",\")", u"s(i) = 5: y = TypeName(s(1)) & s(1)",
         u"s(i + 0) = 5: y = TypeName(s(1)) & s(1)"}, // stays text
        {u"i = 1: j = 2", u"a(i, j) = \"x\": y = TypeName(a(1, 2)) & a(1, 2)",
         u"a(i, j + 0) = \"x\": y = TypeName(a(1, 2)) & a(1, 2)"}, // a constant written
        {u"i = 1: j = 2", u"a(i, j) = Empty: y = TypeName(a(1, 2))", u"a(i, j + 0) = Empty: y = TypeName(a(1, 2))"},
        {u"i = 1: a = 4", u"y = a(i)", u"y = a((i))"},           // no longer an array
        {u"i = 3", u"y = Twice(i) & \" \" & i", u"y = Twice(i) & \" \" & i"}, // by reference
    });
    // Three subscripts: each dimension's offset counts, and any one of
    // them out of range (below or above) is the general way's error.
    const Text cube = u"Dim c(1, 2, 3): c(1, 2, 3) = 6: c(0, 1, 2) = 5\n";
    expectSameAsGeneral(cube, {
        {u"i = 1: j = 2: k = 3", u"y = c(i, j, k)", u"y = c((i), (j), (k))"},
        {u"i = 0: j = 1: k = 2", u"y = c(i, j, k)", u"y = c((i), (j), (k))"},
        {u"i = 0: j = 1: k = 4", u"y = c(i, j, k)", u"y = c((i), (j), (k))"},
        {u"i = 0: j = -1: k = 2", u"y = c(i, j, k)", u"y = c((i), (j), (k))"},
        {u"i = 1: j = 0: k = 3", u"c(i, j, k) = 4: y = c(1, 0, 3) & c(1, 2, 3)",
         u"c(i, j, k + 0) = 4: y = c(1, 0, 3) & c(1, 2, 3)"},
    });
    EXPECT_EQ(u"7", evalAfter(setup + u"i = 1: j = 2: y = a(i, j)", u"y"));
    EXPECT_EQ(u"(error 9)", evalAfter(setup + u"i = 3: j = 0: y = a(i, j)", u"y"));
    EXPECT_EQ(u"6 6", evalAfter(setup + u"i = 3: y = Twice(i) & \" \" & i", u"y"));
    // A local array, read at local and global subscripts, and a local that
    // stops being an array.
    const Text local = u"Function F(k, m)\n  Dim b(3, 3): b(1, 2) = 8: b(2, 1) = 9\n  F = b(k, m) & b(i, k)\n"
                       u"End Function\nFunction H(k)\n  b = Array(5, 6): H = b(k): b = 2: H = H & b(k)\nEnd Function\n"
                       u"i = 2\n";
    EXPECT_EQ(u"89", evalAfter(local + u"y = F(1, 2)", u"y"));
    EXPECT_EQ(u"89", evalAfter(local + u"y = F(1.2, 2)", u"y"));
    EXPECT_EQ(u"(error 9)", evalAfter(local + u"y = F(1, 4)", u"y"));
    EXPECT_EQ(u"(error 13)", evalAfter(local + u"y = F(\"x\", 2)", u"y"));
    EXPECT_EQ(u"(error 13)", evalAfter(local + u"y = H(1)", u"y"));
    EXPECT_EQ(u"6 13", evalAfter(u"Function H(k)\n  On Error Resume Next\n  b = Array(5, 6): H = b(k)\n"
                                 u"  b = 2: H = b(k)\n  H = H & \" \" & Err.Number\nEnd Function\ny = H(1)",
                                 u"y"));
    // One subscript, the array and the subscript each a local (a by-reference
    // parameter among them) or a global: read, written, tested, and out of range.
    const Text mixed = u"Dim g(3): g(2) = 5: n = 2\n"
                       u"Function F(k, p)\n  Dim b(3): b(n) = 6: b(k) = b(k) + g(k)\n  p(k) = 1: g(k) = True\n"
                       u"  If g(k) Then F = b(n) & p(k) & b(k) & p(n)\nEnd Function\n";
    EXPECT_EQ(u"6105", evalAfter(mixed + u"Dim q(3): q(2) = 5: y = F(1, q)", u"y"));
    EXPECT_EQ(u"111111", evalAfter(mixed + u"Dim q(3): q(2) = 5: y = F(2, q)", u"y"));
    EXPECT_EQ(u"(error 9)", evalAfter(mixed + u"Dim q(3): y = F(4, q)", u"y"));
    EXPECT_EQ(u"(error 13)", evalAfter(mixed + u"q = 1: y = F(1, q)", u"y"));
    // Inside a procedure, with local subscripts, and under On Error Resume Next.
    EXPECT_EQ(u"4 9", evalAfter(setup + u"y = 0\nSub S()\n  Dim k: k = 2\n  a(k, k) = 4\n  On Error Resume Next\n"
                                         u"  k = 7\n  y = a(k, 1)\n  y = a(2, 2) & \" \" & Err.Number\nEnd Sub\nS",
                                u"y"));
}

TEST(VmFastPaths, WholeStatementUpdatesAgreeWithTheGeneralWay)
{
    // `x = x op (y op z) [op c]` done in one step: the same widening, the
    // same errors, and the general way for whatever is no plain number.
    const Text result = u"TypeName(x) & \" \" & x";
    EXPECT_EQ(u"Long 32774", evalAfter(u"x = 32767: i = 1: x = x + i * 7", result));
    EXPECT_EQ(u"Double 2147483650", evalAfter(u"x = 2147483647: i = 1: x = x + i * 3", result));
    EXPECT_EQ(u"Integer 12", evalAfter(u"x = 5: i = 4: x = (x + i * 7) Mod 21", result));
    EXPECT_EQ(u"Double 3.5", evalAfter(u"x = 2: i = 3: x = x + i / 2", result));
    EXPECT_EQ(u"String 13", evalAfter(u"x = \"1\": i = 3: x = x & i * 1", result));
    EXPECT_EQ(u"Double 7", evalAfter(u"x = \"1\": i = 3: x = x + i * 2", result));
    EXPECT_EQ(u"Null ", evalAfter(u"x = Null: i = 3: x = x + i * 2", result));
    EXPECT_EQ(u"Integer 6", evalAfter(u"i = 3: x = x + i * 2", result));
    // An error leaves x as it was; Resume Next goes on after the statement.
    EXPECT_EQ(u"(error 11)", evalAfter(u"x = 5: i = 0: x = (x + i * 2) Mod 0", u"x"));
    EXPECT_EQ(u"Integer 5 11",
              evalAfter(u"On Error Resume Next\nx = 5: i = 0\nx = (x + i * 2) Mod i\ne = Err.Number", result + u" & \" \" & e"));
    // A function on the right still runs, after x was read.
    EXPECT_EQ(u"Integer 12", evalAfter(u"Function F(a)\n  x = 100: F = a\nEnd Function\nx = 5: x = x + F(7) * 1", result));
    // z a variable, z and c Double or text constants, each against the
    // same statement written so that it takes the general way.
    expectSameAsGeneral(u"Function Id(v)\n  Id = v\nEnd Function\n",
                        {
                            {u"x = 5: i = 3: j = 4", u"x = x + i * j: y = TypeName(x) & x",
                             u"x = x + i * Id(j): y = TypeName(x) & x"},
                            {u"x = 5: i = 3: j = \"4\"", u"x = x - i * j: y = TypeName(x) & x",
                             u"x = x - i * Id(j): y = TypeName(x) & x"},
                            {u"x = 32000: i = 3: j = 300", u"x = x + i * j: y = TypeName(x) & x",
                             u"x = x + i * Id(j): y = TypeName(x) & x"},
                            {u"x = 5: i = 3", u"x = (x + i * 2.5) * 0.5: y = TypeName(x) & x",
                             u"x = (x + i * Id(2.5)) * 0.5: y = TypeName(x) & x"},
                            {u"x = 5: i = 3", u"x = (x + i / 2) \\ 2: y = TypeName(x) & x",
                             u"x = (x + i / Id(2)) \\ 2: y = TypeName(x) & x"},
                            {u"x = 5: i = 3", u"x = (x + i * \"2\") Mod 4: y = TypeName(x) & x",
                             u"x = (x + i * Id(\"2\")) Mod 4: y = TypeName(x) & x"},
                            {u"x = 5: i = 3", u"x = (x + i * 2) & \"!\": y = TypeName(x) & x",
                             u"x = (x + i * Id(2)) & \"!\": y = TypeName(x) & x"},
                            {u"x = 5: i = 3", u"x = (x + i * 2) Mod 0.4: y = TypeName(x) & x",
                             u"x = (x + i * Id(2)) Mod 0.4: y = TypeName(x) & x"},
                            {u"y = 0\nSub S\n  Dim x, i, j: x = 5: i = 3: j = 4.5",
                             u"  x = (x - i * j) * 2: y = TypeName(x) & x\nEnd Sub\nS",
                             u"  x = (x - i * Id(j)) * 2: y = TypeName(x) & x\nEnd Sub\nS"},
                            {u"x = 1E308: i = 1E308", u"On Error Resume Next\nx = x + i * 10\ny = Err.Number & TypeName(x) & x",
                             u"On Error Resume Next\nx = x + i * Id(10)\ny = Err.Number & TypeName(x) & x"},
                        });
    // Locals, and a by-reference argument written through.
    EXPECT_EQ(u"Long 35353",
              evalAfter(u"Sub Acc(t, n)\n  Dim i\n  For i = 1 To n\n    t = (t + i * 7) Mod 1000003\n  Next\nEnd Sub\n"
                        u"x = 0: Acc x, 100\nx = x + 3",
                        result));
}

TEST(VmFastPaths, UpdateVersionsForOperatorsAgreeWithTheGeneralWay)
{
    // `x = x op2 (i op1 j) [Mod c]` for each set of operators the machine
    // has its own version of, with j a variable and a constant, globals
    // and locals, against the same statement with j read through a call
    // (the general way): at the Integer and Long edges, a step leaving the
    // Long range, a Double in each place, division by zero, overflow, and
    // operands no version takes.
    struct Values {
        const char16_t *x, *i, *j;
    };
    const Values values[] = {
        {u"5", u"3", u"2"},     {u"32766", u"1", u"1"},      {u"32767", u"1", u"1"},   {u"-32767", u"1", u"1"},
        {u"100", u"300", u"200"}, {u"40000", u"3", u"2"},    {u"2147483646", u"1", u"1"},
        {u"-2147483647", u"1", u"1"}, {u"5", u"65536", u"65536"}, {u"-7", u"3", u"2"},
        {u"2.5", u"3", u"2"},   {u"5", u"1.5", u"2"},        {u"5", u"3", u"0.5"},     {u"5", u"3", u"0"},
        {u"1E308", u"1E308", u"10"}, {u"True", u"3", u"2"},  {u"5", u"CCur(3)", u"2"}, {u"5", u"3", u"\"2\""},
        {u"Empty", u"3", u"2"},
    };
    const Text op1s[] = {u"+", u"-", u"*", u"/"};
    const Text op2s[] = {u"+", u"-"};
    const Text ends[] = {Text(), u" Mod 7", u" Mod 40000"};
    const Text report = u"r = Err.Number & \" \" & TypeName(x) & \" \" & x";
    auto run = [&](const Values& v, const Text& statement, bool local) {
        const Text body = u"On Error Resume Next\nx = " + Text(v.x) + u": i = " + v.i + u": j = " + v.j + u"\n" +
                          statement + u"\n" + report + u"\n";
        const Text id = u"Dim r\nFunction Id(v)\n  Id = v\nEnd Function\n";
        return evalAfter(local ? id + u"Sub S\nDim x, i, j\n" + body + u"End Sub\nS" : id + body, u"r");
    };
    for (const Text& op1 : op1s) {
        for (const Text& op2 : op2s) {
            for (const Text& end : ends) {
                auto statement = [&](const Text& j) {
                    const Text update = u"x " + op2 + u" (i " + op1 + u" " + j + u")";
                    return u"x = " + (end.empty() ? update : u"(" + update + u")" + end);
                };
                for (const Values& v : values) {
                    for (const bool local : {false, true}) {
                        // j a variable, then the constant it holds.
                        for (const Text& j : {Text(u"j"), Text(v.j)}) {
                            EXPECT_EQ(run(v, statement(u"Id(" + j + u")"), local), run(v, statement(j), local))
                                << toUtf8(statement(j)) << " with x = " << toUtf8(v.x) << ", i = " << toUtf8(v.i)
                                << ", j = " << toUtf8(v.j) << (local ? " in a Sub" : "");
                        }
                    }
                }
            }
        }
    }
}

TEST(VmFastPaths, ResultsStoredStraightIntoTheVariableAgreeWithTheGeneralWay)
{
    // `x = y op z` written into x without a push: the same widening, the
    // same errors (x left as it was), text and Null the general way.
    const Text setup = u"Function Twice(v)\n  v = v * 2\n  Twice = v\nEnd Function\n";
    const Text y = u": y = TypeName(x) & \" \" & x";
    expectSameAsGeneral(setup, {
        {u"a = 200: b = 300", (u"x = a * b" + y), (u"x = a * (b)" + y)},
        {u"a = 32767: b = 1", (u"x = a + b" + y), (u"x = a + (b)" + y)},
        {u"a = 2147483647: b = 1", (u"x = a + b" + y), (u"x = a + (b)" + y)},
        {u"a = 7: b = 2", (u"x = a / b" + y), (u"x = a / (b)" + y)},
        {u"a = 7: b = 2", (u"x = a \\ b" + y), (u"x = a \\ (b)" + y)},
        {u"a = -7: b = 2", (u"x = a Mod b" + y), (u"x = a Mod (b)" + y)},
        {u"a = 1.5: b = 2", (u"x = a - b" + y), (u"x = a - (b)" + y)},
        {u"a = \"4\": b = 2", (u"x = a * b" + y), (u"x = a * (b)" + y)},
        {u"a = Null: b = 2", (u"x = a + b" + y), (u"x = a + (b)" + y)},
        {u"a = True: b = 2", (u"x = a + b" + y), (u"x = a + (b)" + y)},
        {u"a = 1E+308: b = 10", (u"x = 5: x = a * b" + y), (u"x = 5: x = a * (b)" + y)},
        {u"a = 5: b = 0", (u"x = 3: x = a / b" + y), (u"x = 3: x = a / (b)" + y)},
        {u"a = 5: b = 0", (u"x = 3: x = a Mod b" + y), (u"x = 3: x = a Mod (b)" + y)},
        // The variable held text or an array before.
        {u"a = 5: b = 1: x = \"old\"", (u"x = a - b" + y), (u"x = a - (b)" + y)},
        {u"a = 5: b = 1: x = Array(1)", (u"x = a - b" + y), (u"x = a - (b)" + y)},
        // A function on the right runs the general way, after a is read.
        {u"a = 5: b = 3", (u"x = a + Twice(a)" + y), (u"x = (a) + Twice(a)" + y)},
    });
    // Locals, and a by-reference argument written through.
    EXPECT_EQ(u"Long 90000", evalAfter(u"Sub Sq(r, n)\n  Dim k: k = n\n  r = k * n\nEnd Sub\nx = 0: Sq x, 300",
                                      u"TypeName(x) & \" \" & x"));
    // A constant cannot be assigned; a global assigned without a
    // declaration is made by its first assignment.
    EXPECT_EQ("line 3 error 501", errorAt(u"Const k = 1\na = 2: b = 3\nk = a + b\n"));
    EXPECT_EQ(u"Integer 6", evalAfter(u"a = 2: b = 3\nFor n = 1 To 2\n  x = a * b\nNext", u"TypeName(x) & \" \" & x"));
    EXPECT_EQ("line 3 error 11", errorAt(u"a = 1: b = 0\nx = a + b\nx = a / b\n"));
    // Under Option Explicit an undeclared target is an error after the
    // value was computed.
    EXPECT_EQ("line 3 error 500", errorAt(u"Option Explicit\nDim a: a = 1\nz = a + a\n"));
}

TEST(VmFastPaths, TwoOperatorStatementsAgreeWithTheGeneralWay)
{
    // `x = (i op1 j) op2 k` in one step, for each pair of operators, with j
    // and k variables and constants, globals and locals, x one of the
    // operands or not; `x = (i op1 j) op2 (k op1 j)`, whose last operator
    // takes two values from the stack, and `x = Id(i) op1 k`, one value
    // and a constant.  Each against the same
    // statement with j read through a call (the general way): at the
    // Integer and Long edges, a step leaving the Long range, Doubles,
    // division by zero, overflow, and operands no fast case takes.
    struct Values {
        const char16_t *i, *j, *k;
    };
    const Values values[] = {
        {u"5", u"3", u"2"},          {u"32766", u"1", u"1"},     {u"32767", u"1", u"-1"},  {u"200", u"200", u"1"},
        {u"-32768", u"1", u"-1"},    {u"2147483646", u"1", u"1"}, {u"65536", u"65536", u"1"}, {u"2147483647", u"1", u"-2"},
        {u"2.5", u"3", u"2"},        {u"5", u"3", u"0.5"},       {u"5", u"0", u"2"},      {u"5", u"3", u"0"},
        {u"0", u"0", u"1"},          {u"1E308", u"1E308", u"0"}, {u"1E308", u"10", u"1E-300"},
        {u"True", u"3", u"2"},       {u"5", u"CCur(3)", u"2"},   {u"5", u"3", u"\"2\""}, {u"Empty", u"3", u"2"},
        {u"Null", u"3", u"2"},
    };
    const Text ops[] = {u"+", u"-", u"*", u"/", u"\\", u"Mod"};
    const Text report = u"r = Err.Number & \" \" & TypeName(x) & \" \" & x";
    auto run = [&](const Values& v, const Text& statement, bool local) {
        const Text body = u"On Error Resume Next\nx = \"old\": i = " + Text(v.i) + u": j = " + v.j + u": k = " + v.k +
                          u"\n" + statement + u"\n" + report + u"\n";
        const Text id = u"Dim r\nFunction Id(v)\n  Id = v\nEnd Function\n";
        return evalAfter(local ? id + u"Sub S\nDim x, i, j, k\n" + body + u"End Sub\nS" : id + body, u"r");
    };
    for (const Text& op1 : ops) {
        for (const Text& op2 : ops) {
            const bool both = op1 == op2; // the stack form once per operator
            for (const Values& v : values) {
                for (const bool local : {false, true}) {
                    auto chain = [&](const Text& x, const Text& j, const Text& k) {
                        return x + u" = (i " + op1 + u" " + j + u") " + op2 + u" " + k;
                    };
                    const Text j = v.j, k = v.k;
                    const std::pair<Text, Text> cases[] = {
                        {chain(u"x", u"j", u"k"), chain(u"x", u"Id(j)", u"k")},
                        {chain(u"x", j, k), chain(u"x", u"Id(" + j + u")", k)},
                        {chain(u"x", u"j", k), chain(u"x", u"Id(j)", k)},
                        {chain(u"x", j, u"k"), chain(u"x", u"Id(" + j + u")", u"k")},
                        {chain(u"i", u"j", u"k") + u": x = i", chain(u"i", u"Id(j)", u"k") + u": x = i"},
                        {u"x = (i " + op1 + u" j) " + op2 + u" (k " + op1 + u" j)",
                         u"x = (i " + op1 + u" Id(j)) " + op2 + u" (k " + op1 + u" j)"},
                        {u"x = Id(i) " + op1 + u" " + k, u"x = Id(i) " + op1 + u" Id(" + k + u")"},
                    };
                    for (const auto& [inPlace, general] : cases) {
                        if (!both && (inPlace.find(u"(k") != Text::npos || inPlace.find(u"Id(i)") != Text::npos))
                            continue;
                        EXPECT_EQ(run(v, general, local), run(v, inPlace, local))
                            << toUtf8(inPlace) << " with i = " << toUtf8(v.i) << ", j = " << toUtf8(v.j)
                            << ", k = " << toUtf8(v.k) << (local ? " in a Sub" : "");
                    }
                }
            }
        }
    }
    // The old value goes once the new one is there: its Class_Terminate
    // sees the result.  A function's value, and a global that is a function.
    const Text seen = u"Dim seen, x\nClass C\n  Sub Class_Terminate\n    seen = seen & TypeName(x) & x\n  End Sub\nEnd Class\n";
    EXPECT_EQ(u"Integer6Integer9", evalAfter(seen + u"i = 1: j = 2: k = 3\nSet x = New C: x = (i + j) * 2\n"
                                                    u"Set x = New C: x = (i + j) * (k + j - 2)",
                                            u"seen"));
    EXPECT_EQ(u"Long 40000 Integer 10",
              evalAfter(u"Function F(a, b, c)\n  F = a * b + c\nEnd Function\nFunction G()\n  G = 4\nEnd Function\n"
                        u"t = F(200, 200, 0): k = 3: u = k + G + 3",
                        u"TypeName(t) & \" \" & t & \" \" & TypeName(u) & \" \" & u"));
    // Errors at the statement's line; a constant and an undeclared name
    // under Option Explicit as targets.
    EXPECT_EQ("line 3 error 11", errorAt(u"a = 1: b = 0\nx = a + b + a\nx = a / b + a\n"));
    EXPECT_EQ("line 3 error 6", errorAt(u"a = 2147483647: b = 1\nx = a + b - b\nx = (a + a) \\ (b - b + 1) + (a + a)\n"));
    EXPECT_EQ("line 3 error 501", errorAt(u"Const k = 1\na = 2: b = 3\nk = a + b * a\n"));
    EXPECT_EQ("line 3 error 500", errorAt(u"Option Explicit\nDim a: a = 1\nz = a * a + a\n"));
    EXPECT_EQ("line 3 error 500", errorAt(u"Option Explicit\nDim a: a = 1\nz = (a + a) * (a + a)\n"));
}

TEST(VmFastPaths, LocalsCopiedStraightAgreeWithTheGeneralWay)
{
    // `x = v` with v a local, into a local or a global: each against the
    // same statement with v passed through a call.  An object takes its
    // default value (or fails) the general way; an array is a copy; the old
    // value goes once the new one is there.
    const Text setup = u"Dim seen, g, y\nFunction Id(v)\n  Id = v\nEnd Function\n"
                       u"Class C\n  Sub Class_Terminate\n    seen = seen & \"~\" & TypeName(g)\n  End Sub\nEnd Class\n"
                       u"Class D\n  Public Default Property Get Value\n    Value = 7\n  End Property\nEnd Class\n";
    auto sub = [](const Text& value, const Text& statement) {
        return u"Sub S\n  Dim x, v\n  " + value + u"\n  " + statement +
               u"\n  y = Err.Number & TypeName(x) & TypeName(g) & seen\nEnd Sub\nOn Error Resume Next\nS";
    };
    const Text values[] = {u"v = 5", u"v = \"text\"", u"v = Array(1, 2): v(0) = 3", u"v = Null", u"Set v = New D",
                           u"Set v = New RegExp", u"Set v = Nothing", u"v = 2.5"};
    for (const Text& v : values) {
        for (const Text& target : {Text(u"x"), Text(u"g")}) {
            const Text start = target == u"g" ? u"Set g = New C: " : u"";
            EXPECT_EQ(evalAfter(setup + sub(v, start + target + u" = Id(v)"), u"y"),
                      evalAfter(setup + sub(v, start + target + u" = v"), u"y"))
                << toUtf8(v) << " into " << toUtf8(target);
        }
    }
    // The copy of an array is its own; a by-reference parameter is written
    // through; a constant and an undeclared name are no targets.
    EXPECT_EQ(u"1 3", evalAfter(u"Dim y\nSub S\n  Dim a, b: a = Array(1): b = a: b(0) = 3\n  y = a(0) & \" \" & b(0)\nEnd Sub\nS",
                                u"y"));
    EXPECT_EQ(u"Long 70000", evalAfter(u"Sub Put(r, n)\n  r = n\nEnd Sub\nx = 0: Put x, 70000", u"TypeName(x) & \" \" & x"));
    EXPECT_EQ("line 3 error 501", errorAt(u"Const k = 1\nSub S(v)\n  k = v\nEnd Sub\nS 2\n"));
    EXPECT_EQ("line 4 error 500", errorAt(u"Option Explicit\nSub S\n  Dim v: v = 1\n  z = v\nEnd Sub\nS\n"));
}

TEST(VmFastPaths, ConstantsWrittenToElementsAgreeWithTheGeneralWay)
{
    const Text setup = u"Dim a(2, 3): a(1, 2) = 7\n";
    expectSameAsGeneral(setup, {
        {u"i = 1: j = 2", u"a(i, j) = False: y = TypeName(a(1, 2)) & a(1, 2)",
         u"a(i, j + 0) = False: y = TypeName(a(1, 2)) & a(1, 2)"},
        {u"i = 1.6: j = 2", u"a(i, j) = 4: y = a(2, 2)", u"a(i, j + 0) = 4: y = a(2, 2)"},
        {u"i = 3: j = 2", u"a(i, j) = 4: y = 1", u"a(i, j + 0) = 4: y = 1"},
        {u"i = \"x\": j = 2", u"a(i, j) = 4: y = 1", u"a(i, j + 0) = 4: y = 1"},
        // A copy keeps its values; a String array keeps text.
        {u"i = 1: j = 2", u"b = a: a(i, j) = 4: y = b(1, 2) & a(1, 2)", u"b = a: a(i, j + 0) = 4: y = b(1, 2) & a(1, 2)"},
        {u"i = 1: s = Split(\"a,b\", \",\")", u"s(i) = 4: y = TypeName(s(1)) & s(1)",
         u"s(i + 0) = 4: y = TypeName(s(1)) & s(1)"},
        // Nothing is no value to Let.
        {u"i = 1: j = 2: y = 0", u"a(i, j) = Nothing: y = 1", u"a(i, j + 0) = Nothing: y = 1"},
        {u"i = 1: a = 5", u"a(i) = 4: y = a", u"a(i + 0) = 4: y = a"},
    });
    // The error is the statement's, and Resume Next goes on after it.
    EXPECT_EQ("line 3 error 9", errorAt(u"Dim a(3)\ni = 4\na(i) = True\n"));
    EXPECT_EQ(u"True 9", evalAfter(u"On Error Resume Next\nDim a(3)\nFor i = 2 To 4\n  a(i) = True\nNext\n"
                                   u"e = Err.Number",
                                   u"a(3) & \" \" & e"));
    // A local array, in a loop whose step is a variable.
    EXPECT_EQ(u"1 1 True", evalAfter(u"Function F()\n  Dim b(3), k, s: s = 2\n  For k = 1 To 3 Step s\n"
                                     u"    b(k) = 1\n  Next\n  F = b(1) & \" \" & b(3) & \" \" & IsEmpty(b(2))\n"
                                    u"End Function",
                                    u"F()"));
}

TEST(VmFastPaths, ElementsOfLocalArraysAgreeWithTheGeneralWay)
{
    // Inside a procedure, where the array and its one subscript are locals,
    // or parameters referring to the caller's variables: a constant written
    // to an element and an element as a condition, against the same with
    // the subscript read the general way.  T's value tells b(1) and b(2)
    // after the statement, and the caller's g(1) after the call.
    auto program = [](const Text& values, const Text& statement) {
        return u"Function T(p, q)\n  Dim b(3), c, k, y\n  b(1) = True: b(2) = 5\n  " + values + u"\n  " + statement +
               u"\n  T = y & \" \" & TypeName(b(1)) & b(1) & \" \" & TypeName(b(2)) & b(2)\nEnd Function\n"
               u"Dim g(2), n: g(1) = 3: n = 1\n";
    };
    const Text expression = u"T(g, n) & \" \" & TypeName(g(1)) & g(1)";
    const Text write = u"b(k) = 0";
    const Text writeGeneral = u"b(k + 0) = 0";
    const Text test = u"If b(k) Then y = \"then\" Else y = \"else\"";
    const Text testGeneral = u"If b(k + 0) Then y = \"then\" Else y = \"else\"";
    using Case = std::tuple<const char16_t*, Text, Text>;
    const Case cases[] = {
        {u"k = 1", write, writeGeneral},
        {u"k = 1.5", write, writeGeneral},
        {u"k = \"2\"", write, writeGeneral},
        {u"k = 4", write, writeGeneral},
        {u"k = -1", write, writeGeneral},
        // A copy keeps its values; a String array keeps text; one subscript
        // of two dimensions, and a local that is no array, fail.
        {u"c = b: k = 1", write + u": y = c(1)", writeGeneral + u": y = c(1)"},
        {u"b = Split(\"a,b,c\", \",\"): k = 1", write + u": y = TypeName(b(1))", writeGeneral + u": y = TypeName(b(1))"},
        {u"ReDim b(3, 3): k = 1", write, writeGeneral},
        {u"c = 5: k = 1", u"c(k) = 0: y = c", u"c(k + 0) = 0: y = c"},
        // The caller's array and subscript, through the parameters.
        {u"", u"p(q) = 0", u"p(q + 0) = 0"},
        {u"q = 3", u"p(q) = 0", u"p(q + 0) = 0"},
        {u"k = 1", u"b(k) = \"s\"", u"b(k + 0) = \"s\""},
        {u"k = 1", test, testGeneral},
        {u"k = 2", test, testGeneral},
        {u"k = 3", test, testGeneral},
        {u"k = 4", test, testGeneral},
        {u"k = 1.5", test, testGeneral},
        {u"k = 1: b(1) = \"True\"", test, testGeneral},
        {u"k = 1: b(1) = Null", test, testGeneral},
        {u"k = 1: b(1) = 0.5", test, testGeneral},
        {u"", u"If p(q) Then y = 1 Else y = 0", u"If p(q + 0) Then y = 1 Else y = 0"},
        {u"ReDim b(3, 3): k = 1", test, testGeneral},
    };
    for (const auto& [values, inPlace, general] : cases) {
        EXPECT_EQ(evalAfter(program(values, general), expression), evalAfter(program(values, inPlace), expression))
            << toUtf8(values) << " / " << toUtf8(inPlace);
    }
    // The error is the statement's, and Resume Next goes on after it.
    EXPECT_EQ("line 3 error 9", errorAt(u"Sub S()\n  Dim b(3), k: k = 4\n  b(k) = True\nEnd Sub\nS\n"));
    EXPECT_EQ("line 3 error 9", errorAt(u"Sub S()\n  Dim b(3), k: k = 4\n  If b(k) Then k = 0\nEnd Sub\nS\n"));
}

TEST(VmFastPaths, TwoSubscriptElementsAgreeWithTheGeneralWay)
{
    // `x = x op a(i, j)` and `a(i, j) = value` where the array and the
    // subscripts are all globals or all locals, against the same with a
    // subscript the general way reads, after values that each edge needs.
    // y tells x, the error, the element and a copy's element.
    const Text start = u"On Error Resume Next\nDim a(), b, i, j, x, y: ReDim a(2, 3): a(1, 2) = 7: i = 1: j = 2: x = 5\n";
    const Text report = u"\ny = TypeName(x) & \" \" & x & \" \" & Err.Number\ny = y & \" \" & TypeName(a(1, 2)) & a(1, 2)\n"
                        u"y = y & \" \" & b(1, 2)\n";
    auto global = [&](const Text& values, const Text& statement) { return start + values + u"\n" + statement + report; };
    auto local = [&](const Text& values, const Text& statement) {
        return u"Function T()\n" + start + values + u"\n" + statement + report + u"T = y\nEnd Function\ny = T()\n";
    };
    using Statement = std::pair<const char16_t*, const char16_t*>;
    const Statement statements[] = {
        {u"x = x + a(i, j)", u"x = x + a(i, j + 0)"}, {u"x = x - a(i, j)", u"x = x - a(i, j + 0)"},
        {u"x = x * a(i, j)", u"x = x * a(i, j + 0)"}, {u"x = x / a(i, j)", u"x = x / a(i, j + 0)"},
        {u"x = x \\ a(i, j)", u"x = x \\ a(i, j + 0)"}, {u"x = x Mod a(i, j)", u"x = x Mod a(i, j + 0)"},
        {u"a(i, j) = x * 2", u"a(i, j + 0) = x * 2"},
    };
    const char16_t* values[] = {
        u"",
        u"b = a",                      // shared storage
        u"x = \"3\"", u"a(1, 2) = \"4\"", u"a(1, 2) = Empty", u"a(1, 2) = True", u"x = Null",
        u"a(1, 2) = 2.5", u"a(1, 2) = CCur(1.5)", u"a(1, 2) = 0", // by zero
        u"x = 2147483647",             // past the Long range
        u"x = 32767: a(1, 2) = 1",     // past the Integer range
        u"j = 2.5", u"j = \"2\"", u"i = 3", u"j = -1", u"i = Null",
        u"ReDim a(3)",                 // one dimension, two subscripts
        u"a = Split(\"p,q,r\", \",\")", // a String array
        u"a = 4",                      // no array
    };
    for (const auto& [inPlace, general] : statements) {
        for (const char16_t* v : values) {
            EXPECT_EQ(evalAfter(global(v, general), u"y"), evalAfter(global(v, inPlace), u"y"))
                << toUtf8(v) << " / " << toUtf8(inPlace);
            EXPECT_EQ(evalAfter(local(v, general), u"y"), evalAfter(local(v, inPlace), u"y"))
                << "in a procedure: " << toUtf8(v) << " / " << toUtf8(inPlace);
        }
    }
    // The error is the statement's.
    EXPECT_EQ("line 3 error 9", errorAt(u"Dim a(2, 2)\ni = 3: j = 0\nx = x + a(i, j)\n"));
    EXPECT_EQ("line 3 error 9", errorAt(u"Sub S()\n  Dim a(2, 2), i, j: i = 3\n  a(i, j) = 1\nEnd Sub\nS\n"));
}

TEST(VmFastPaths, ElementConditionsBranchAsTheGeneralWay)
{
    const Text setup = u"Dim a(3): a(0) = True: a(1) = 0: a(2) = 5\n";
    const Text test = u"If a(i) Then y = \"then\" Else y = \"else\"";
    const Text general = u"If a(i + 0) Then y = \"then\" Else y = \"else\"";
    for (const char16_t* values : {u"i = 0", u"i = 1", u"i = 2", u"i = 3" /* Empty */, u"i = 1: a(1) = 0.5",
                                   u"i = 1: a(1) = \"True\"", u"i = 1: a(1) = Null", u"i = 1: a(1) = \"x\"",
                                   u"i = 4", u"i = 1.5"})
        expectSameAsGeneral(setup, {{values, test, general}});
    // Not Then, and Do loops testing an element.
    EXPECT_EQ(u"1", evalAfter(setup + u"i = 0: Do While a(i)\n  i = i + 1\nLoop", u"i"));
    EXPECT_EQ(u"2", evalAfter(setup + u"i = 1: Do Until a(i)\n  i = i + 1\nLoop", u"i"));
    // An error in the condition is the If's, and Resume Next goes into the block.
    EXPECT_EQ("line 2 error 9", errorAt(u"Dim a(3): i = 9\nIf a(i) Then x = 1\n"));
    EXPECT_EQ(u"in", evalAfter(u"On Error Resume Next\nDim a(3): i = 9\nIf a(i) Then x = \"in\"", u"x"));
    // A local array, and a local that is no array.
    EXPECT_EQ(u"1 0", evalAfter(u"Function F(k)\n  Dim b(2): b(1) = True\n  If b(k) Then F = 1 Else F = 0\nEnd Function",
                                u"F(1) & \" \" & F(2)"));
    EXPECT_EQ(u"(error 13)",
              evalAfter(u"Function F(k)\n  Dim b: b = 4\n  If b(k) Then F = 1\nEnd Function", u"F(1)"));
}

TEST(VmFastPaths, FusedComparisonsBranchAsTheGeneralWay)
{
    const Text program = u"Function Pick(a, b)\n  If a < b Then Pick = \"lt\" Else Pick = \"ge\"\nEnd Function\n";
    EXPECT_EQ(u"lt ge ge", evalAfter(program, u"Pick(1, 2) & \" \" & Pick(2, 2) & \" \" & Pick(40000, 2)"));
    // Text, Null and mixed operands go the general way.
    EXPECT_EQ(u"lt ge ge", evalAfter(program, u"Pick(\"10\", \"9\") & \" \" & Pick(Null, 2) & \" \" & Pick(2.5, 2)"));
    // Loops that test a counter against a variable.
    EXPECT_EQ(u"10", evalAfter(u"n = 0: Do While n < 10\n  n = n + 1\nLoop", u"n"));
    EXPECT_EQ(u"0", evalAfter(u"n = 5: Do Until n = 0\n  n = n - 1\nLoop", u"n"));
    // An error in the condition still resumes into the block.
    EXPECT_EQ(u"in", evalAfter(u"On Error Resume Next\nDim a(1)\nx = \"out\"\nIf a > 1 Then x = \"in\"", u"x"));
}

TEST(VmFastPaths, ComparisonsOfALocalWithAWholeConstantBranchAsTheGeneralWay)
{
    // `k op constant` deciding an If (a jump when false) and a Do Until (a
    // jump when true), against `(k) op constant`, which goes the general way.
    const char16_t* values[] = {u"CInt(2)", u"CLng(100000)", u"-1",    u"2.5",  u"\"2\"",
                                u"\"abc\"", u"Empty",        u"Null", u"True", u"CByte(2)"};
    const char16_t* constants[] = {u"2", u"100000", u"-1", u"0"};
    const char16_t* ops[] = {u" < ", u" <= ", u" = ", u" <> ", u" > ", u" >= "};
    for (const char16_t* value : values) {
        for (const char16_t* constant : constants) {
            for (const char16_t* op : ops) {
                auto program = [&](const Text& left) {
                    const Text condition = left + op + constant;
                    return u"Function T()\n  Dim k: k = " + Text(value) + u"\n  On Error Resume Next\n  T = \"no\"\n  If " +
                           condition + u" Then T = \"yes\"\n  Do Until " + condition +
                           u"\n    T = T & \" looped\"\n    Exit Do\n  Loop\n  T = T & \" \" & Err.Number\nEnd Function\n";
                };
                EXPECT_EQ(evalAfter(program(u"(k)"), u"T()"), evalAfter(program(u"k"), u"T()"))
                    << toUtf8(value) << toUtf8(op) << toUtf8(constant);
            }
        }
    }
}

TEST(VmFastPaths, DirectCallsPassArgumentsAsTheGeneralWay)
{
    // Calls whose arguments are constants, variables or arithmetic on them
    // go straight to the procedure: variables still by reference, the rest
    // by value, and the general way for whatever else.
    const Text procs = u"Function Bump(x, d)\n  x = x + d\n  Bump = x\nEnd Function\n"
                       u"Sub Twice(x)\n  x = x * 2\nEnd Sub\n"
                       u"Function Cat(a, b)\n  Cat = a & b\nEnd Function\nn = 5\n";
    // The code run after procs, an expression, and its expected text.
    using Case = std::tuple<const char16_t*, const char16_t*, const char16_t*>;
    const Case cases[] = {
        {u"y = Bump(n, 2)", u"y & \" \" & n", u"7 7"},
        {u"Call Twice(n)", u"n", u"10"},
        {u"y = Bump(n, n * 2)", u"y & \" \" & n", u"15 15"},
        {u"", u"Cat(n - 1, \"x\") & \" \" & Cat(\"a\" & n, 1.5)", u"4x a51.5"},
        {u"Function L()\n  Dim k: k = 3\n  L = Bump(k, k + 1) & \" \" & k\nEnd Function", u"L()", u"7 7"},
        // A wrong count fails before the call; Resume Next goes on after it.
        {u"On Error Resume Next\ny = \"before\"\ny = Bump(n)\ne = Err.Number", u"e & \" \" & y", u"450 before"},
        // Arithmetic the inline rules leave (Null, by zero) goes the general way.
        {u"y = Bump(n, n + Null)", u"TypeName(y)", u"Null"},
        {u"y = Bump(n, n / 0)", u"y", u"(error 11)"},
    };
    for (const auto& [code, expression, expected] : cases)
        EXPECT_EQ(expected, evalAfter(procs + code, expression)) << toUtf8(code);
}

TEST(VmFastPaths, DirectCallArgumentsSettledWhenFusedGiveWhatTheGeneralWayGives)
{
    // `k + c` and `k - c` on a local, passed straight to a procedure: a
    // step on a whole number, widening at the edges of Integer and Long;
    // every other value goes the general way.  `(k) + c` always does.
    const Text kind = u"Function Kind(x)\n  Kind = TypeName(x) & \" \" & x\nEnd Function\n";
    const char16_t* values[] = {u"CInt(32767)", u"CInt(-32768)", u"CLng(2147483647)", u"CLng(-2147483647) - 1",
                                u"CInt(5)",     u"1.5",          u"\"4\"",          u"Empty",
                                u"True",        u"CByte(255)",   u"CCur(2)",          u"Null"};
    const char16_t* steps[] = {u" + 1", u" - 1", u" + 32767", u" - 32767"};
    for (const char16_t* value : values) {
        for (const char16_t* step : steps) {
            auto program = [&](const Text& argument) {
                return kind + u"Function T()\n  Dim k: k = " + value + u"\n  T = Kind(" + argument + step +
                       u")\nEnd Function\n";
            };
            EXPECT_EQ(evalAfter(program(u"(k)"), u"T()"), evalAfter(program(u"k"), u"T()"))
                << toUtf8(value) << toUtf8(step);
        }
    }
    // A global passed by reference is found at each call: ExecuteGlobal may
    // make it a procedure or a constant after the call's code was made.
    const Text id = u"Function Id(v, d)\n  Id = v + d\nEnd Function\nx = 2\ny = 0\n";
    for (const Text& change : {Text(u"Function x : x = 10 : End Function"), Text(u"Const x = 7")}) {
        auto program = [&](const Text& argument) {
            return id + u"For n = 1 To 3\n  y = y + Id(" + argument + u", 0)\n  If n = 1 Then ExecuteGlobal \"" +
                   change + u"\"\nNext\n";
        };
        EXPECT_EQ(evalAfter(program(u"(x)"), u"y"), evalAfter(program(u"x"), u"y")) << toUtf8(change);
    }
}

TEST(VmFastPaths, GlobalsThatChangeWhatTheyAreAreReadAsTheGeneralWay)
{
    // The fused instructions reach a global through a table made with the
    // code; code ExecuteGlobal runs later may make a name read there a
    // variable, a procedure or a constant.  Each statement runs on three
    // turns, the change made after the first.
    auto loop = [](const Text& before, const Text& statement, const Text& change) {
        return before + u"y = 0\nFor n = 1 To 3\n  " + statement + u"\n  If n = 1 Then ExecuteGlobal \"" + change +
               u"\"\nNext\n";
    };
    const Text changes[] = {u"Function x : x = 10 : End Function", u"Const x = 7", u"Dim x : x = 4"};
    // A statement in the form the machine does in one step, and the same
    // with x read the general way.
    using Case = std::pair<const char16_t*, const char16_t*>;
    const Case statements[] = {
        {u"y = y + x * 1", u"y = y + (x) * 1"},
        {u"y = x + n", u"y = (x) + n"},
        {u"y = n - x", u"y = n - (x)"},
        {u"If x > n Then y = y + 1", u"If (x) > n Then y = y + 1"},
        {u"x = x + n * 1: y = x", u"x = (x) + n * 1: y = x"},
    };
    for (const Text& change : changes) {
        // x a variable before the change, and x read before anything
        // declares or assigns it.
        for (const Text& before : {Text(u"x = 2\n"), Text()}) {
            for (const auto& [inPlace, general] : statements) {
                EXPECT_EQ(evalAfter(loop(before, general, change), u"y"), evalAfter(loop(before, inPlace, change), u"y"))
                    << toUtf8(inPlace) << " / " << toUtf8(change) << " / " << toUtf8(before);
            }
        }
    }
    // Under Option Explicit a name no code has declared yet is no variable
    // to read, until ExecuteGlobal declares it.
    EXPECT_EQ(u"(error 500)", evalAfter(u"Option Explicit\nDim y: y = 0\ny = y + z * 1", u"y"));
}

} // namespace
} // namespace quillet::script
