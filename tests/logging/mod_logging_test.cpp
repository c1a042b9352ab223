#include "logging/mod_logging.h"

#include "tests/settings/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet {
namespace {

using testing::TempFolder;

// Records what the shell would be asked to show.
class RecordingListener : public LogWindowListener {
public:
    void logWindowCreated(const WindowMeasures& outer) override
    {
        events.push_back("created");
        placement = outer;
    }
    void logWindowShown() override { events.push_back("shown"); }
    void logLineRemoved() override { ++removed; }
    void logLineAdded(const Text& line) override { shownLines.push_back(line); }
    void logLineSelected(size_t index) override { selected = index; }
    void traceFileFailed(const Text& path) override { failures.push_back(path); }

    std::vector<std::string> events;
    WindowMeasures placement;
    std::vector<Text> shownLines;
    int removed = 0;
    size_t selected = 0;
    std::vector<Text> failures;
};

size_t countLines(const std::string& bytes)
{
    size_t n = 0;
    for (size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
        ++n;
    return n;
}

class ModLoggingTest : public ::testing::Test {
protected:
    ModLoggingTest()
    {
        state.HomePath = folder.home();
        state.SetDefaults();
    }
    // Start-up's part: open the log and write its two lines.
    void startUp()
    {
        log.OpenLog();
        log.LogLine(u"KVR Character Printer " + VersionText());
        log.LogLine(u"HomePath = " + state.HomePath);
    }

    TempFolder folder;
    AppState state;
    RecordingListener shell;
    modLogging log{state, &shell};
};

TEST_F(ModLoggingTest, WithDebugOffNothingHappensEvenWithEchoOn)
{
    folder.write("debug.run", "earlier run\r\n");
    for (int16_t debug : {kFalse, int16_t{1}}) { // only -1 counts as on
        state.Debug = debug;
        state.EchoToRun = kTrue;
        startUp();
        EXPECT_FALSE(log.windowExists());
        EXPECT_TRUE(log.list().empty());
        EXPECT_TRUE(shell.events.empty());
        EXPECT_EQ(log.RunFile, u"");
        EXPECT_EQ(folder.read("debug.run"), "earlier run\r\n");
    }
}

TEST_F(ModLoggingTest, WithDebugOnlyLinesGoToTheWindowAlone)
{
    folder.write("debug.run", "earlier run\r\n");
    state.Debug = kTrue;
    state.LogLeft = 100;
    startUp();
    EXPECT_EQ(shell.events, (std::vector<std::string>{"created", "shown"}));
    EXPECT_EQ(shell.placement.left, 100);
    EXPECT_EQ(shell.placement.height, 3225);
    EXPECT_TRUE(log.windowShown());
    ASSERT_EQ(log.list().size(), 2u);
    EXPECT_EQ(log.list().line(0), u"KVR Character Printer v2.0 \u00DF14");
    EXPECT_EQ(log.list().line(1), u"HomePath = " + folder.home());
    EXPECT_EQ(shell.shownLines.size(), 2u);
    EXPECT_EQ(shell.selected, 1u);
    EXPECT_EQ(folder.read("debug.run"), "earlier run\r\n");
}

TEST_F(ModLoggingTest, WithEchoOnTheEarlierTraceIsReplacedByThisRun)
{
    folder.write("debug.run", "earlier run\r\n");
    state.Debug = kTrue;
    state.EchoToRun = kTrue;
    startUp();
    log.LogLine(u"  Grüße from the script");
    EXPECT_EQ(log.RunFile, folder.home() + u"debug.run");
    EXPECT_EQ(folder.read("debug.run"), "KVR Character Printer v2.0 \xC3\x9F" "14\r\n"
                                        "HomePath = " + folder.path() + "/\r\n"
                                        "  Gr\xC3\xBC\xC3\x9F" "e from the script\r\n");
}

TEST_F(ModLoggingTest, TheListKeepsTheLatest2001LinesAndTheTraceKeepsAll)
{
    state.Debug = kTrue;
    state.EchoToRun = kTrue;
    log.OpenLog();
    for (int i = 1; i <= 3000; ++i)
        log.LogLine(u"line " + decimalText(i));
    EXPECT_EQ(log.list().size(), 2001u);
    EXPECT_EQ(log.list().line(0), u"line 1000");
    EXPECT_EQ(shell.removed, 999);
    EXPECT_EQ(shell.selected, 2000u);
    EXPECT_EQ(countLines(folder.read("debug.run")), 3000u);

    ASSERT_TRUE(log.ExportLog());
    const std::string exported = folder.read("debug.log");
    EXPECT_EQ(countLines(exported), 2001u);
    EXPECT_EQ(exported.substr(0, 11), "line 1000\r\n");
    EXPECT_EQ(log.list().size(), 2001u);
}

TEST_F(ModLoggingTest, ExportingAnEmptyListWritesAnEmptyFile)
{
    folder.write("debug.log", "old export\r\n");
    state.Debug = kTrue;
    log.OpenLog();
    ASSERT_TRUE(log.ExportLog());
    EXPECT_TRUE(folder.exists("debug.log"));
    EXPECT_EQ(folder.read("debug.log"), "");
}

TEST_F(ModLoggingTest, AClosedWindowComesBackHiddenAndEmpty)
{
    state.Debug = kTrue;
    startUp();
    log.windowClosed({10, 20, 3000, 2000}, false);
    EXPECT_EQ(state.LogLeft, 10);
    EXPECT_EQ(state.LogHeight, 2000);
    EXPECT_FALSE(log.windowExists());
    EXPECT_TRUE(log.list().empty());

    shell.events.clear();
    log.LogLine(u"after closing");
    EXPECT_EQ(shell.events, (std::vector<std::string>{"created"}));
    EXPECT_EQ(shell.placement.left, 10);
    EXPECT_TRUE(log.windowExists());
    EXPECT_FALSE(log.windowShown());
    ASSERT_EQ(log.list().size(), 1u);
    EXPECT_EQ(log.list().line(0), u"after closing");

    // Closing while minimized keeps the measures.
    log.windowClosed({0, 0, 1, 1}, true);
    EXPECT_EQ(state.LogLeft, 10);
    EXPECT_EQ(state.LogWidth, 3000);
}

TEST_F(ModLoggingTest, ResizingStoresTheMeasuresUnlessMinimized)
{
    state.Debug = kTrue;
    log.OpenLog();
    EXPECT_FALSE(log.windowResized({{1, 2, 3, 4}, 500, 500, 300, true}).has_value());
    EXPECT_EQ(state.LogLeft, 960);

    const auto layout = log.windowResized({{1500, 2500, 8000, 5000}, 7760, 4500, 375, false});
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->listWidth, 7520);
    EXPECT_EQ(layout->buttonTop, 4065);
    EXPECT_EQ(state.LogLeft, 1500);
    EXPECT_EQ(state.LogTop, 2500);
    EXPECT_EQ(state.LogWidth, 8000);
    EXPECT_EQ(state.LogHeight, 5000);
}

TEST_F(ModLoggingTest, EchoSwitchedOnLaterHasNoFileUntilTheNextStart)
{
    state.Debug = kTrue;
    log.OpenLog();
    state.EchoToRun = kTrue; // through the preferences dialog
    log.LogLine(u"echo?");
    EXPECT_EQ(log.list().size(), 1u);
    EXPECT_FALSE(folder.exists("debug.run"));
}

TEST_F(ModLoggingTest, AnUnwritableTraceIsReportedOnceAndLoggingGoesOn)
{
    state.Debug = kTrue;
    state.EchoToRun = kTrue;
    ASSERT_EQ(::mkdir(folder.file("debug.run").c_str(), 0755), 0);
    log.OpenLog();
    log.LogLine(u"one");
    log.LogLine(u"two");
    EXPECT_EQ(shell.failures, std::vector<Text>{folder.home() + u"debug.run"});
    EXPECT_EQ(log.list().size(), 2u);

    // Once the file can be written again, a later failure is reported anew.
    ASSERT_EQ(::rmdir(folder.file("debug.run").c_str()), 0);
    log.LogLine(u"three");
    EXPECT_EQ(folder.read("debug.run"), "three\r\n");
    ASSERT_EQ(::unlink(folder.file("debug.run").c_str()), 0);
    ASSERT_EQ(::mkdir(folder.file("debug.run").c_str(), 0755), 0);
    log.LogLine(u"four");
    EXPECT_EQ(shell.failures.size(), 2u);
}

TEST_F(ModLoggingTest, ALineStaysOneLineWhateverItHolds)
{
    state.Debug = kTrue;
    state.EchoToRun = kTrue;
    startUp();
    // A script's text (or a picture name) that would forge a runner line,
    // clear the terminal or cut the line at a NUL.
    const Text forged = u"  done\r\nPrintReport:: Script processing completed\n";
    log.LogLine(forged);
    log.LogLine(u"  \x1B[2J\x1B]0;title\u0007cleared" + Text(1, u'\0') + u"after\u2028\u0085\u007F\ttab");
    const Text first = u"  done<CR><LF>PrintReport:: Script processing completed<LF>";
    const Text second = u"  <ESC>[2J<ESC>]0;title<U+0007>cleared<NUL>after<U+2028><U+0085><U+007F>\ttab";
    EXPECT_EQ(shell.shownLines.back(), second);
    EXPECT_EQ(log.list().lines().at(2), first);
    const std::string run = folder.read("debug.run");
    EXPECT_EQ(countLines(run), 4u);
    EXPECT_NE(run.find(toUtf8(first) + "\r\n" + toUtf8(second) + "\r\n"), std::string::npos);
    ASSERT_TRUE(log.ExportLog());
    EXPECT_EQ(countLines(folder.read("debug.log")), 4u);
    // Ordinary text, backslashes and all, is as it was.
    log.LogLine(u"  Portrait file 'C:\\new\\tess.bmp' not found; not printing");
    EXPECT_EQ(shell.shownLines.back(), u"  Portrait file 'C:\\new\\tess.bmp' not found; not printing");
}

TEST_F(ModLoggingTest, WorksWithoutAListener)
{
    modLogging quiet(state);
    state.Debug = kTrue;
    quiet.OpenLog();
    quiet.LogLine(u"no window system");
    EXPECT_EQ(quiet.list().size(), 1u);
}

} // namespace
} // namespace quillet
