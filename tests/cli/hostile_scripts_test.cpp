// Sheet scripts written to do harm, run through the runner with the real
// engine: each ends with the two-line error report (runaway ones once the
// user presses Stop), the program is not left busy, and the next run of
// an ordinary sheet works as if nothing had happened.
#include "recording_host.h"
#include "sheet_folder.h"

#include "script/engine.h"
#include "sheet/mod_print_report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace quillet;
using namespace quillet::testing;

namespace {

// The Stop button of the desktop, pressed by a "user" who waits `patience`
// before giving up on the script.
class StopButton {
public:
    StopButton(script::Engine& engine, std::chrono::milliseconds patience)
        : thread_([this, &engine, patience] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, patience, [this] { return done_; })) {
                  pressed = true;
                  engine.requestStop();
              }
          })
    {
    }
    ~StopButton()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        thread_.join();
    }
    bool pressed = false;

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

class HostileScriptTest : public ::testing::Test {
protected:
    void SetUp() override { state.currentCharacter().Name = u"Ann"; }

    // Runs `sheet` (the 'VBScript line is added) as Print Preview does,
    // with the Stop button pressed after `patience`.
    ReportResult run(const std::string& sheet, std::chrono::milliseconds patience = std::chrono::seconds(20))
    {
        std::ofstream(toUtf8(state.TesseraFile), std::ios::binary) << "'VBScript\r\n" << sheet;
        log.clear();
        host.messages.clear();
        ReportContext context{state, engine, host, [this](const Text& line) { log.push_back(line); },
                              [&](const std::function<bool()>& runScript) {
                                  StopButton stop(engine, patience);
                                  const bool ok = runScript();
                                  stopPressed = stop.pressed;
                                  return ok;
                              }};
        return PrintReport(context, false);
    }

    // `sheet` fails with the two report lines, logged and shown, naming
    // error `number` and the `line` it was in.
    void expectFails(const std::string& sheet, int number, int line, const std::string& lineText)
    {
        EXPECT_EQ(run(sheet), ReportResult::ScriptFailed) << sheet;
        ASSERT_GE(log.size(), 2u);
        const Text first = log[log.size() - 2];
        const Text second = log.back();
        const Text prefix = u"Error " + decimalText(number) + u":";
        EXPECT_EQ(first.substr(0, prefix.size()), prefix) << toUtf8(first);
        EXPECT_NE(first.find(u" in line " + decimalText(line)), Text::npos) << toUtf8(first);
        EXPECT_EQ(second, u"line is: " + fromUtf8(lineText));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], first + u"\r\n" + second);
        EXPECT_EQ(state.Busy, kFalse);
    }
    // `statement`, alone in main (line 3), fails with error `number`.
    void expectMainFails(int number, const std::string& statement)
    {
        expectFails("Sub main\r\n" + statement + "\r\nEnd Sub\r\n", number, 3, statement);
    }

    // An ordinary sheet right after: it must run and draw normally.
    void expectNextRunWorks()
    {
        EXPECT_EQ(run("Sub main\r\n  PrintText Char.Name\r\nEnd Sub\r\n"), ReportResult::Previewed);
        EXPECT_TRUE(host.messages.empty());
        ASSERT_TRUE(host.window);
        EXPECT_EQ(host.window->surface_.calls,
                  (std::vector<std::string>{"startDoc", "text Ann at 1440,1440", "endDoc"}));
        EXPECT_EQ(state.Busy, kFalse);
    }

    SheetFolder folder;
    AppState& state = folder.state;
    script::Engine engine;
    RecordingHost host;
    std::vector<Text> log;
    bool stopPressed = false;
};

} // namespace

TEST_F(HostileScriptTest, NoObjectsFromOutsideTheSandbox)
{
    for (const char* create : {"CreateObject(\"WScript.Shell\")", "CreateObject(\"Shell.Application\")", "CreateObject(\"ADODB.Stream\")",
                               "GetObject(\"winmgmts:\")", "GetObject(\"/etc/passwd\")",
                               "GetObject(, \"Scripting.FileSystemObject\")"}) {
        const std::string line = std::string("  Set x = ") + create;
        expectFails("Sub main\r\n  Dim x\r\n" + line + "\r\n  x.Run \"rm -rf ~\"\r\nEnd Sub\r\n", 429, 4, line);
    }
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, TheFileSystemObjectNeitherWritesNorLeavesItsFolders)
{
    for (const char* harm : {"fso.DeleteFile \"/etc/passwd\"", "fso.CreateTextFile(\"x.txt\").Write \"x\"",
                             "fso.OpenTextFile(\"x.txt\", 8, True).Write \"x\"",
                             "x = fso.OpenTextFile(\"/etc/passwd\").ReadAll",
                             "x = fso.OpenTextFile(\"../../../../../../etc/passwd\").ReadAll",
                             "Set x = fso.GetFolder(\"/\").Files", "Set x = fso.GetSpecialFolder(0)"}) {
        const std::string line = std::string("  ") + harm;
        expectFails("Sub main\r\n  Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n" + line +
                        "\r\nEnd Sub\r\n",
                    70, 4, line);
    }
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, EndlessLoopsEndWhenStopped)
{
    for (const char* loop : {"  Do\r\n  Loop\r\n", "  While True\r\n  Wend\r\n",
                             "  Dim i\r\n  For i = 1 To 2\r\n    i = 1\r\n  Next\r\n",
                             "  On Error Resume Next\r\n  Do\r\n    x = 1 / 0\r\n  Loop\r\n"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(run(std::string("Sub main\r\n") + loop + "End Sub\r\n", std::chrono::milliseconds(200)),
                  ReportResult::ScriptFailed)
            << loop;
        EXPECT_TRUE(stopPressed);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2].substr(0, 9), u"Error 18:") << "On Error Resume Next cannot catch a stop";
        EXPECT_EQ(log.back().substr(0, 9), u"line is: ");
        EXPECT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(state.Busy, kFalse);
    }
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, EndlessRecursionRunsOutOfStack)
{
    expectMainFails(28, "  main");
    EXPECT_FALSE(stopPressed) << "the engine ends it by itself";

    expectFails("Function deeper(n)\r\n  deeper = deeper(n + 1) & \"x\"\r\nEnd Function\r\n"
                "Sub main\r\n  PrintText deeper(1)\r\nEnd Sub\r\n",
                28, 3, "  deeper = deeper(n + 1) & \"x\"");

    // Recursion through a class's property, and through Execute.
    expectFails("Class Loop2\r\n  Public Property Get Me2\r\n    Set Me2 = Me.Me2\r\n  End Property\r\nEnd Class\r\n"
                "Sub main\r\n  Dim o\r\n  Set o = New Loop2\r\n  Set o = o.Me2\r\nEnd Sub\r\n",
                28, 4, "    Set Me2 = Me.Me2");
    EXPECT_EQ(run("Sub main\r\n  Execute \"main\"\r\nEnd Sub\r\n"), ReportResult::ScriptFailed);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].substr(0, 9), u"Error 28:");
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, HugeAllocationsAreOutOfMemory)
{
    // Single arrays and strings past their own caps.
    for (const char* statement : {"  ReDim a(1000000000)", "  ReDim a(50000, 50000)",
                                  "  PrintText String(2000000000, \"x\")", "  PrintText Space(1000000000)"})
        expectMainFails(7, statement);
    expectFails("Sub main\r\n  Dim s\r\n  s = \"x\"\r\n  Do\r\n    s = s & s\r\n  Loop\r\nEnd Sub\r\n", 7, 6,
                "    s = s & s");
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, ManyAllocationsRunIntoTheMemoryLimit)
{
    // Within the single-array cap, but 1.6 GB: refused by the session's
    // memory limit before anything is allocated.
    expectMainFails(7, "  ReDim a(100000000)");

    // Each string is small enough; together they pass the limit.
    expectFails("Sub main\r\n  Dim parts(200), i\r\n  For i = 0 To 200\r\n    parts(i) = Space(5000000)\r\n"
                "  Next\r\nEnd Sub\r\n",
                7, 5, "    parts(i) = Space(5000000)");

    // Caught, the error leaves the script going with its memory given back.
    EXPECT_EQ(run("Sub main\r\n  On Error Resume Next\r\n  ReDim a(100000000)\r\n  e = Err.Number\r\n"
                  "  Err.Clear\r\n  ReDim a(1000000)\r\n  PrintText e & \" \" & UBound(a) & \" \" & Err.Number\r\n"
                  "End Sub\r\n"),
              ReportResult::Previewed);
    ASSERT_TRUE(host.window);
    EXPECT_EQ(host.window->surface_.calls,
              (std::vector<std::string>{"startDoc", "text 7 1000000 0 at 1440,1440", "endDoc"}));
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, GeneratedCodeRunsUnderTheSameRules)
{
    // A thousand generated procedures, then one of them run: fine.
    EXPECT_EQ(run("Sub main\r\n  Dim i\r\n  For i = 1 To 1000\r\n"
                  "    ExecuteGlobal \"Sub p\" & i & vbCrLf & \"PrintText \"\"p\" & i & \"\"\"\" & vbCrLf & \"End Sub\"\r\n"
                  "  Next\r\n  Execute \"p7\"\r\nEnd Sub\r\n"),
              ReportResult::Previewed);
    EXPECT_EQ(host.window->surface_.calls[1], "text p7 at 1440,1440");

    // Generated code with an error is reported at the Execute statement.
    expectMainFails(1023, "  Execute \"x = \" & \"(\"");

    // Generated code that never ends stops like any other.
    EXPECT_EQ(run("Sub main\r\n  Execute \"Do\" & vbCrLf & \"Loop\"\r\nEnd Sub\r\n", std::chrono::milliseconds(200)),
              ReportResult::ScriptFailed);
    EXPECT_TRUE(stopPressed);
    EXPECT_EQ(log[log.size() - 2].substr(0, 9), u"Error 18:");
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, TerminatorsThatFailOrNeverEnd)
{
    const std::string raising = "Class Bomb\r\n  Sub Class_Terminate\r\n    Err.Raise 5\r\n  End Sub\r\nEnd Class\r\n";
    // An error in Class_Terminate is not reported: the script goes on.
    EXPECT_EQ(run(raising + "Sub main\r\n  Dim b\r\n  Set b = New Bomb\r\n  Set b = Nothing\r\n"
                            "  PrintText \"after\"\r\nEnd Sub\r\n"),
              ReportResult::Previewed);
    // A bomb left in a global goes off when the next run resets the engine.
    EXPECT_EQ(run(raising + "Dim kept\r\nSub main\r\n  Set kept = New Bomb\r\nEnd Sub\r\n"), ReportResult::Previewed);
    expectNextRunWorks();

    // A terminator that never ends, left for the next run's reset: its
    // steps are bounded, and the reset runs where the Stop button reaches
    // it as well, so the next run goes ahead either way.
    EXPECT_EQ(run("Class Tar\r\n  Sub Class_Terminate\r\n    Do\r\n    Loop\r\n  End Sub\r\nEnd Class\r\n"
                  "Dim kept\r\nSub main\r\n  Set kept = New Tar\r\nEnd Sub\r\n"),
              ReportResult::Previewed);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run("Sub main\r\n  PrintText Char.Name\r\nEnd Sub\r\n", std::chrono::milliseconds(200)),
              ReportResult::Previewed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    expectNextRunWorks();
}

TEST_F(HostileScriptTest, ConstantsThatCannotBeComputedAreCompileErrorsOnTheirLine)
{
    for (const char* bound : {"\"many\"", "1E+300"}) {
        const std::string line = "  Private cells(" + std::string(bound) + ")";
        expectFails("Class Box\r\n" + line + "\r\nEnd Class\r\nSub main\r\nEnd Sub\r\n", 1026, 3, line);
    }
    expectFails("Const LIMIT = -\"none\"\r\nSub main\r\nEnd Sub\r\n", 1045, 2, "Const LIMIT = -\"none\"");
    EXPECT_EQ(run("Const LIMIT = -\"5\"\r\nSub main\r\n  PrintText LIMIT\r\nEnd Sub\r\n"), ReportResult::Previewed);
    EXPECT_EQ(host.window->surface_.calls[1], "text -5 at 1440,1440");
}

TEST_F(HostileScriptTest, StoppedScriptsNameTheLineTheyWereRunning)
{
    EXPECT_EQ(run("Sub main\r\n  Do\r\n    x = x + 1\r\n  Loop\r\nEnd Sub\r\n", std::chrono::milliseconds(200)),
              ReportResult::ScriptFailed);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].find(u" in line 0"), Text::npos) << toUtf8(log[log.size() - 2]);
    EXPECT_NE(log.back(), u"line is: ");
}
