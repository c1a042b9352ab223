// The engine's host side and robustness: compile errors with their place,
// run-time errors with their line, reset, named objects with global
// members, stop requests, budgets and resource limits.
#include "common/stop_request.h"
#include "script/engine.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quillet::script {
namespace {

Text repeated(TextView piece, int times)
{
    Text out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Line `n` (from 1) of `code`.
Text lineOf(TextView code, int n)
{
    size_t start = 0;
    while (--n > 0)
        start = code.find(u'\n', start) + 1;
    return Text(code.substr(start, code.find(u'\n', start) - start));
}

struct CompileCase {
    const char* code;
    int number;
    int line;
};

TEST(EngineCompileErrors, ReportNumberLineAndText)
{
    const CompileCase cases[] = {
        {"x = 1\nx = (1 + \n", 1023, 2},
        {"If x Then\nx = 1\n", 1014, 3},
        {"x = 1 2", 1025, 1},
        {"Sub a()\nEnd Function", 1016, 2},
        {"For i = 1 To\nNext", 1023, 1},
        {"Do\nx = 1\n", 1019, 3},
        {"x = \"abc", 1033, 1},
        {"While x\nWend\nLoop", 1038, 3},
        {"Select Case x\nCase 1\nEnd If", 1022, 3},
        {"Dim a, b\nx = a ! b", 1032, 2},
        {"Const c = x", 1045, 1},
        {"Exit For", 1039, 1},
        {"Class A\nProperty Get P\nEnd Property\nPublic Default Property Let Q(v)\nEnd Property\nEnd Class", 1058, 4},
        {"Sub f(a, b)\nEnd Sub\nf(1, 2)", 1044, 3},
        {"x = 1\nOption Explicit", 1042, 2},
        {"Class A\nSub Class_Initialize(x)\nEnd Sub\nEnd Class", 1053, 2},
        {"Do\nLoop\nFor i = 1 To 2\nExit Do\nNext", 1039, 4},
    };
    for (const CompileCase& c : cases) {
        Engine engine;
        EXPECT_FALSE(engine.addCode(fromUtf8(c.code))) << c.code;
        const ScriptErrorInfo& e = engine.lastError();
        EXPECT_TRUE(e.compileError) << c.code;
        EXPECT_EQ(c.number, e.number) << c.code;
        EXPECT_EQ(c.line, e.line) << c.code;
        EXPECT_EQ(vbErrorDescription(c.number), e.description) << c.code;
    }
}

TEST(EngineCompileErrors, NothingOfTheBrokenCodeIsDefined)
{
    Engine engine;
    EXPECT_FALSE(engine.addCode(u"Sub main()\nEnd Sub\nx = (\n"));
    EXPECT_FALSE(engine.hasProcedure(u"main"));
    EXPECT_EQ(u"x = (", engine.lastError().lineText);
    EXPECT_EQ(3, engine.lastError().line);
}

TEST(EngineRun, RuntimeErrorsHaveTheInnermostLine)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"'VBScript\r\nSub main()\r\n  Dim a\r\n  a = 1 / 0\r\nEnd Sub\r\n"));
    EXPECT_FALSE(engine.run(u"main"));
    const ScriptErrorInfo& e = engine.lastError();
    EXPECT_FALSE(e.compileError);
    EXPECT_EQ(11, e.number);
    EXPECT_EQ(u"Division by zero", e.description);
    EXPECT_EQ(4, e.line);
    EXPECT_EQ(u"  a = 1 / 0", e.lineText);
    // In a procedure that main called, that procedure's line.
    Engine calling;
    ASSERT_TRUE(calling.addCode(u"Function f(x)\nf = x.Name\nEnd Function\nSub main\nDim v\nv = f(3)\nEnd Sub"));
    EXPECT_FALSE(calling.run(u"main"));
    EXPECT_EQ(424, calling.lastError().number);
    EXPECT_EQ(2, calling.lastError().line);
}

TEST(EngineRun, ArgumentsResultAndWrongCalls)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Function Add(a, b)\nAdd = a + b\nEnd Function"));
    Value args[] = {Value::integer(2), Value::dbl(0.5)};
    auto result = engine.run(u"add", args);
    ASSERT_TRUE(result);
    EXPECT_EQ(2.5, result->toDouble());
    EXPECT_FALSE(engine.run(u"Add"));
    EXPECT_EQ(450, engine.lastError().number);
    EXPECT_FALSE(engine.run(u"main"));
    EXPECT_EQ(35, engine.lastError().number);
}

TEST(EngineReset, ForgetsCodeAndAllowsTheSameNamesAgain)
{
    Engine engine;
    engine.addObject(u"Host", testing::makeTestHost(), true);
    ASSERT_TRUE(engine.addCode(u"Dim g\ng = 5\nSub main\nEnd Sub"));
    engine.reset();
    EXPECT_FALSE(engine.hasProcedure(u"main"));
    engine.addObject(u"Host", testing::makeTestHost(), true);
    ASSERT_TRUE(engine.addCode(u"Function f\nf = IsEmpty(g) & Host.Count\nEnd Function"));
    auto v = engine.run(u"f");
    ASSERT_TRUE(v);
    EXPECT_EQ(u"True0", v->toText());
}

TEST(EngineNamedObjects, GlobalMembersAreReachableWithoutTheName)
{
    Engine engine;
    engine.addObject(u"Host", testing::makeTestHost(), true);
    ASSERT_TRUE(engine.addCode(u"Add \"x\"\nAdd \"y\"\nName = \"global\"\nDim r\nr = Count & Item(1) & Host.Name"));
    auto r = engine.eval(u"r");
    ASSERT_TRUE(r);
    EXPECT_EQ(u"2yglobal", r->toText());
    // Without the option only the object's own name is global.
    Engine plain;
    plain.addObject(u"Host", testing::makeTestHost(), false);
    EXPECT_TRUE(plain.addCode(u"Option Explicit\nDim r\nr = Host.Count"));
    EXPECT_FALSE(plain.addCode(u"r = Count"));
    EXPECT_EQ(500, plain.lastError().number);
}

TEST(EngineNamedObjects, MeOutsideAClassIsTheObjectWithGlobalMembers)
{
    Engine engine;
    engine.addObject(u"WScript", testing::makeTestHost(), false);
    engine.addObject(u"Host", testing::makeTestHost(), true);
    ASSERT_TRUE(engine.addCode(u"Function f\nf = Me Is Host\nEnd Function\nDim r\nr = (Me Is Host) And f()"));
    auto r = engine.eval(u"r");
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->toBool());
    Engine plain;
    ASSERT_TRUE(plain.addCode(u"Dim r\nr = Me Is Nothing"));
    EXPECT_TRUE(plain.eval(u"r")->toBool());
}

TEST(EngineRobustness, DeepRecursionIsOutOfStackSpace)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Function r(n)\nr = r(n + 1)\nEnd Function"));
    Value zero[] = {Value::integer(0)};
    EXPECT_FALSE(engine.run(u"r", zero));
    EXPECT_EQ(28, engine.lastError().number);
    EXPECT_EQ(u"Out of stack space", engine.lastError().description);
    // The engine still works afterwards.
    EXPECT_TRUE(engine.addCode(u"x = 1"));
}

TEST(EngineRobustness, DeepNestingInTheSourceIsOutOfStackSpace)
{
    Engine engine;
    for (const Text& code : {u"x = " + repeated(u"(", 100000) + u"1" + repeated(u")", 100000),
                             u"x = 1" + repeated(u" + 1", 100000), repeated(u"If True Then\n", 5000)}) {
        EXPECT_FALSE(engine.addCode(code));
        EXPECT_EQ(28, engine.lastError().number);
    }
    // Member and index chains, read and written, in expressions and calls
    // (a million links used to overflow the compiler's stack).
    for (const char16_t* link : {u".b", u"(1)"}) {
        const Text chain = u"a" + repeated(link, 1000000);
        const Text shorter = chain.substr(0, chain.size() / 10);
        for (const Text& code : {u"x = " + chain, shorter + u" = 1", shorter + u" 1, 2", u"f " + shorter}) {
            EXPECT_FALSE(engine.addCode(code));
            EXPECT_EQ(28, engine.lastError().number);
            EXPECT_TRUE(engine.lastError().compileError);
        }
    }
    // Chains of ordinary length still compile, also when a call statement's
    // first argument is parenthesised and the chain is read twice.
    const Text chains = u"Set a = New C\na" + repeated(u".Me2", 1600) + u".M (1), 2\nx = a" + repeated(u".Me2", 2900) + u".v";
    EXPECT_TRUE(engine.addCode(u"Class C\nPublic v\nFunction Me2\nSet Me2 = Me\nEnd Function\n"
                               u"Sub M(x, y)\nv = x + y\nEnd Sub\nEnd Class\n" + chains))
        << toUtf8(engine.lastError().description);
    EXPECT_EQ(3, engine.eval(u"x")->toInt32());
}

// A procedure is installed before its body is compiled: when the body is
// too large to compile, calling the procedure is that error, not a crash.
TEST(EngineRobustness, AProcedureWhoseBodyCannotCompileRaisesItsErrorWhenCalled)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Sub define\n"
                               u"ExecuteGlobal \"Class Wide : Sub M : x = Array(\" & String(70000, \",\") & \"1) : End Sub : End Class\" & vbLf & "
                               u"\"Sub wide\" & vbLf & \"x = Array(\" & String(70000, \",\") & \"1)\" & vbLf & \"End Sub\"\n"
                               u"End Sub"));
    EXPECT_FALSE(engine.run(u"define"));
    EXPECT_EQ(28, engine.lastError().number);
    EXPECT_FALSE(engine.run(u"wide"));
    EXPECT_EQ(28, engine.lastError().number);
    EXPECT_FALSE(engine.addCode(u"Set w = New Wide\nw.M"));
    EXPECT_EQ(28, engine.lastError().number);
    EXPECT_EQ(2, engine.lastError().line) << "reported at the call";
    EXPECT_EQ(u"Out of stack space (line 1 of the executed code)", engine.lastError().description);
}

TEST(EngineRobustness, StopRequestEndsARunawayLoopEvenUnderResumeNext)
{
    Engine engine;
    std::thread stopper([&engine] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        engine.requestStop();
    });
    const bool ok = engine.addCode(u"On Error Resume Next\nDo\nx = x + 1\nLoop");
    stopper.join();
    EXPECT_FALSE(ok);
    EXPECT_TRUE(engine.lastError().stopped);
    EXPECT_EQ(18, engine.lastError().number);
    // The next run starts afresh.
    EXPECT_TRUE(engine.addCode(u"y = 1"));
}

TEST(EngineRobustness, AHostOperationThatSeesTheStopRequestEndsTheRun)
{
    // Ask presses Stop; Work polls, as the print surface's long operations do.
    Engine engine;
    int works = 0;
    auto ask = [&engine](std::span<Value>) {
        engine.requestStop();
        return Value();
    };
    auto work = [&works](std::span<Value>) {
        ++works;
        pollStop();
        return Value();
    };
    engine.addObject(u"Host", testing::makeMethodsHost(u"PollingHost", {{u"Ask", ask}, {u"Work", work}}), true);
    StopScope stopping(&engine.stopFlag());
    ASSERT_TRUE(engine.addCode(u"Dim after\nSub main\n  On Error Resume Next\n  Work\n  Ask\n  Work\n  Work\n"
                               u"  after = True\nEnd Sub"));
    EXPECT_FALSE(engine.run(u"main"));
    EXPECT_EQ(engine.lastError().number, 18);
    EXPECT_TRUE(engine.lastError().stopped);
    EXPECT_EQ(engine.lastError().line, 6);
    EXPECT_EQ(works, 2) << "nothing resumed after the stopped call";
    EXPECT_EQ(engine.eval(u"IsEmpty(after)")->toText(), u"True");
}

TEST(EngineRobustness, StepBudgetEndsLongRuns)
{
    EngineLimits limits;
    limits.stepBudget = 10000;
    Engine engine(limits);
    EXPECT_TRUE(engine.addCode(u"For i = 1 To 100\nNext"));
    EXPECT_FALSE(engine.addCode(u"While True\nWend"));
    EXPECT_TRUE(engine.lastError().stopped);
}

TEST(EngineRobustness, HugeArraysAndStringsAreOutOfMemory)
{
    Engine engine;
    // Too many elements, and bounds at the end of the Long range, alone or
    // behind an empty dimension.
    for (const char16_t* redim :
         {u"ReDim a(100000, 100000)", u"ReDim a(2147483647)", u"ReDim a(-1, 2147483647)", u"Dim a(2147483647)"}) {
        EXPECT_FALSE(engine.addCode(redim)) << toUtf8(redim);
        EXPECT_EQ(7, engine.lastError().number) << toUtf8(redim);
    }
    EXPECT_FALSE(engine.addCode(u"s = \"xxxxxxxx\"\nFor i = 1 To 40\ns = s & s\nNext"));
    EXPECT_EQ(7, engine.lastError().number);
    EXPECT_EQ(3, engine.lastError().line);
}

TEST(EngineObjects, TerminateRunsWhenTheHostDropsTheLastReference)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Dim log\nClass T\nSub Class_Terminate\nlog = log & \"gone\"\nEnd Sub\nEnd Class\n"
                               u"Function Make\nSet Make = New T\nEnd Function"));
    {
        auto obj = engine.run(u"Make");
        ASSERT_TRUE(obj && obj->isObject());
        EXPECT_EQ(u"T", obj->typeName());
        EXPECT_EQ(u"", engine.eval(u"log")->toText());
    }
    EXPECT_EQ(u"gone", engine.eval(u"log")->toText());
}

TEST(EngineObjects, ATerminatorThatNeverEndsCannotHoldUpTheEnd)
{
    const Text code = u"Class Stubborn\nSub Class_Terminate\nDo\nLoop\nEnd Sub\nEnd Class\n"
                      u"Dim kept\nSet kept = New Stubborn\n";
    auto engine = std::make_unique<Engine>();
    ASSERT_TRUE(engine->addCode(code));
    engine->reset(); // returns: the terminator is stopped after its steps
    ASSERT_TRUE(engine->addCode(code));
    engine.reset(); // and so does destroying the engine
    SUCCEED();
}

TEST(EngineEval, ExecuteAndExecuteGlobalSeeTheRightScope)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Function f\nDim local\nlocal = 2\nExecute \"local = local * 21\"\nf = local\nEnd Function\n"
                               u"ExecuteGlobal \"Function g(x) : g = x + 1 : End Function\"\n"
                               u"Set h = GetRef(\"g\")"));
    EXPECT_EQ(42, engine.run(u"f")->toInt32());
    EXPECT_EQ(8, engine.eval(u"g(7)")->toInt32());
    EXPECT_EQ(4, engine.eval(u"h(3)")->toInt32());
    EXPECT_FALSE(engine.eval(u"Eval(\"1 +\")"));
    EXPECT_EQ(1023, engine.lastError().number);
}

// Executed code that defines nothing is freed once it has run: what other
// executed code defined must keep working, and errors and stops leaving
// freed code still report their line.
TEST(EngineEval, DefinitionsOutliveTheExecutedCodeAroundThem)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Sub define(i)\n"
                               u"Execute \"n = n + 1\"\n"
                               u"Execute \"Function twice\" & i & \"(v) : twice\" & i & \" = v * \" & i & \" : End Function\"\n"
                               u"ExecuteGlobal \"Class Box\" & i & \" : Public V : End Class\"\n"
                               u"Execute \"k = Eval(\"\"Eval(\"\"\"\"n * 10\"\"\"\")\"\")\"\n"
                               u"End Sub\n"
                               u"For i = 1 To 3\ndefine i\nNext\n"
                               u"Set f = GetRef(\"twice3\")\n"
                               u"Set b = New Box2\nb.V = f(5)\n"
                               u"r = Eval(\"twice2(b.V)\")"))
        << toUtf8(engine.lastError().description);
    EXPECT_EQ(30, engine.eval(u"r")->toInt32());
    EXPECT_EQ(3, engine.eval(u"n")->toInt32());
    EXPECT_EQ(30, engine.eval(u"k")->toInt32());

    EngineLimits limits;
    limits.stepBudget = 10000;
    Engine budgeted(limits);
    EXPECT_FALSE(budgeted.addCode(u"Execute \"x = 1\" & vbLf & \"Do\" & vbLf & \"Loop\""));
    EXPECT_TRUE(budgeted.lastError().stopped);
    EXPECT_EQ(1, budgeted.lastError().line);
    EXPECT_EQ(u"Script stopped: it ran longer than allowed (line 2 of the executed code)",
              budgeted.lastError().description);
}

struct ExecutedError {
    const char16_t* code;
    int line;           // in the code added
    Text description;   // with the line in the executed text
};

// An error in code that Execute runs is reported at the Execute statement,
// a line of the code the host added (the one a host quotes), with the line
// in the executed text in the description; run-time and compile errors
// alike, freed or kept code, nested or not.
TEST(EngineEval, ErrorsInExecutedCodeAreReportedAtTheExecuteStatement)
{
    const ExecutedError cases[] = {
        {u"x = 1\nExecute \"a = 1\" & vbCrLf & \"  a = a / 0\"", 2, u"Division by zero (line 2 of the executed code)"},
        {u"Sub s\nExecute \"b = 2\" & vbLf & \"b = Eval(\"\"Len(1 / 0)\"\")\"\nEnd Sub\n\ns", 2,
         u"Division by zero (line 2 of the executed code)"},
        {u"x = 1\nExecute \"a = 1\" & vbLf & \"a = (\"", 2, u"Expected expression (line 2 of the executed code)"},
        {u"ExecuteGlobal \"Sub f\" & vbLf & \"Err.Raise 5\" & vbLf & \"End Sub\"\n\nf", 3,
         u"Invalid procedure call or argument (line 2 of the executed code)"},
        {u"Execute \"x = 1\" & vbLf & \"Execute \"\"y = 1 / 0\"\"\"", 1, u"Division by zero (line 2 of the executed code)"},
    };
    for (const ExecutedError& c : cases) {
        Engine engine;
        EXPECT_FALSE(engine.addCode(c.code)) << toUtf8(c.code);
        const ScriptErrorInfo& e = engine.lastError();
        EXPECT_EQ(c.line, e.line) << toUtf8(c.code);
        EXPECT_EQ(c.description, e.description) << toUtf8(c.code);
        EXPECT_EQ(lineOf(c.code, c.line), e.lineText) << toUtf8(c.code);
    }
    // Inside the script, Err keeps the plain description.
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"On Error Resume Next\nExecute \"x = 1\" & vbLf & \"x = 1 / 0\"\nd = Err.Description"));
    EXPECT_EQ(u"Division by zero", engine.eval(u"d")->toText());
    // A procedure an ExecuteGlobal defined, called by the host directly,
    // has no line of the host's code.
    ASSERT_TRUE(engine.addCode(u"ExecuteGlobal \"Sub g\" & vbLf & \"x = 1 / 0\" & vbLf & \"End Sub\""));
    EXPECT_FALSE(engine.run(u"g"));
    EXPECT_EQ(0, engine.lastError().line);
    EXPECT_EQ(u"Division by zero (line 2 of the executed code)", engine.lastError().description);
}

TEST(EngineRobustness, ReleasingVeryLongChainsDoesNotRecurse)
{
    Engine engine;
    ASSERT_TRUE(engine.addCode(u"Class N\nPublic NextOne\nEnd Class\n"
                               u"Dim head, n, i, a\nSet head = Nothing\nFor i = 1 To 300000\nSet n = New N\nSet n.NextOne = head\nSet head = n\nNext\n"
                               u"Set n = Nothing\nSet head = Nothing\n"
                               u"For i = 1 To 300000\na = Array(a)\nNext\na = Empty"))
        << toUtf8(engine.lastError().description);
}

TEST(EngineObjects, AGlobalMemberOfAnObjectTheHostReplacedWithNothingIsError91)
{
    Engine engine;
    engine.addObject(u"Host", testing::makeTestHost(), true);
    ASSERT_TRUE(engine.addCode(u"Function Items()\n  Items = Count\nEnd Function\n"
                               u"Sub Grow()\n  Add 1\nEnd Sub\n"));
    engine.addObject(u"Host", Value::nothing(), true);
    EXPECT_FALSE(engine.run(u"Items"));
    EXPECT_EQ(91, engine.lastError().number);
    EXPECT_FALSE(engine.run(u"Grow"));
    EXPECT_EQ(91, engine.lastError().number);
}

} // namespace
} // namespace quillet::script
