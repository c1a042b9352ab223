// The sheet-script runner end to end with the real engine, a recording
// host and the fixed-metrics surface: messages, log lines and state after
// every kind of outcome.
#include "recording_host.h"
#include "sheet_folder.h"

#include "script/engine.h"
#include "sheet/mod_print_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace quillet;
using namespace quillet::testing;

namespace {

class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override { state.currentCharacter().Name = u"Ann"; }

    void writeSheet(const std::string& text)
    {
        std::ofstream(toUtf8(state.TesseraFile), std::ios::binary) << text;
    }
    // A run of its own: the messages and log lines of earlier ones are gone.
    ReportResult run(bool toPrinter = false)
    {
        host.messages.clear();
        log.clear();
        ReportContext context{state, engine, host, [this](const Text& line) { log.push_back(line); }, {}};
        return PrintReport(context, toPrinter);
    }
    const std::vector<std::string>& drawn() { return host.window->surface_.calls; }

    SheetFolder folder;
    const std::string& dir = folder.dir;
    AppState& state = folder.state;
    script::Engine engine;
    RecordingHost host;
    std::vector<Text> log;
};

} // namespace

TEST_F(RunnerTest, MissingSheetChangesNothing)
{
    const ReportResult r = run();
    EXPECT_EQ(r, ReportResult::SheetMissing);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], u"The TSX file " + state.TesseraFile + u" does not exist. Please load a file that does exist.");
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(host.window);
    EXPECT_EQ(state.Busy, kFalse);
}

TEST_F(RunnerTest, FirstLineMustBeTheMarker)
{
    for (const char* first : {"' VBScript", "'VBScript ", "'VBScript x", "", "Sub main"}) {
        writeSheet(std::string(first) + "\r\nSub main\r\nEnd Sub\r\n");
        EXPECT_EQ(run(), ReportResult::NotVBScript) << first;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0],
                  u"The TSX file is not marked as a VBScript file, so it can't be run in this version of QUILLET.\r\n"
                  u"You should have \"'VBScript\" as the first line of the file if it's a proper VBScript TSX file.");
        EXPECT_EQ(log, (std::vector<Text>{u"PrintReport:: Getting script lines",
                                          u"PrintReport:: 'VBScript designation missing from first line",
                                          u"PrintReport:: Getting script lines: Aborted"}));
    }
    writeSheet("");
    EXPECT_EQ(run(), ReportResult::NotVBScript) << "an empty file counts as unmarked";
    writeSheet("'vbSCRIPT\nSub main\nEnd Sub");
    EXPECT_EQ(run(), ReportResult::Previewed) << "letter case does not matter";
}

TEST_F(RunnerTest, PreviewDrawsWithCharAndPreviewAsGlobals)
{
    writeSheet("'VBScript\r\n"
               "Sub main()\r\n"
               "  Preview.PrintAtLeft Char.Name, 1\r\n"
               "  PrintAtRight Name & \"!\", 2\r\n"      // members of both objects are global names
               "  DebugLog \"lists: \" & Char.Lists.Count\r\n"
               "End Sub\r\n");
    EXPECT_EQ(run(), ReportResult::Previewed);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(drawn(), (std::vector<std::string>{"startDoc", "text Ann at 1440,1440", "text Ann! at 2480,1440",
                                                 "endDoc"}));
    EXPECT_TRUE(host.window->titled);
    EXPECT_TRUE(host.window->shown);
    EXPECT_FALSE(host.window->printed);
    EXPECT_EQ(host.status, u"");
    EXPECT_EQ(state.Busy, kFalse);
    EXPECT_EQ(log, (std::vector<Text>{u"PrintReport:: Getting script lines", u"PrintReport:: Beginning script processing",
                                      u"  lists: 8", u"PrintReport:: Script processing completed"}));
    EXPECT_EQ(state.ScriptHost.Lines.Count(), 6);
}

TEST_F(RunnerTest, PrintNeverShowsAndSecondRunStartsFresh)
{
    writeSheet("'VBScript\nSub main\n  PrintText \"one\"\nEnd Sub\n");
    EXPECT_EQ(run(true), ReportResult::Printed);
    EXPECT_TRUE(host.window->printed);
    EXPECT_FALSE(host.window->shown);
    writeSheet("'VBScript\nSub main\n  PrintText \"two\"\nEnd Sub\n");
    EXPECT_EQ(run(), ReportResult::Previewed);
    EXPECT_EQ(host.discarded, 1);
    EXPECT_EQ(drawn(), (std::vector<std::string>{"startDoc", "text two at 1440,1440", "endDoc"}));
}

TEST_F(RunnerTest, ScriptErrorsAreReportedWithTheirLine)
{
    writeSheet("'VBScript\r\nSub main(\r\nEnd Sub\r\n");
    EXPECT_EQ(run(), ReportResult::ScriptFailed);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].substr(0, 6), u"Error ");
    EXPECT_NE(log[2].find(u" in line 2"), Text::npos);
    EXPECT_EQ(log[3], u"line is: Sub main(");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], log[2] + u"\r\n" + log[3]);
    EXPECT_EQ(state.Busy, kFalse);
    EXPECT_EQ(host.status, u"Printing...") << "the status line keeps its text after a failure";

    writeSheet("'VBScript\nSub main\n  PrintText \"before\"\n  x = 1 / 0\nEnd Sub\n");
    EXPECT_EQ(run(), ReportResult::ScriptFailed);
    EXPECT_EQ(log[2], u"Error 11:Division by zero in line 4");
    EXPECT_EQ(log[3], u"line is:   x = 1 / 0");
    EXPECT_FALSE(host.window->shown);
    EXPECT_EQ(drawn().back(), "text before at 1440,1440") << "no endDoc after a failure";

    state.Debug = kTrue;
    writeSheet("'VBScript\nSub other\nEnd Sub\n");
    EXPECT_EQ(run(), ReportResult::ScriptFailed) << "no main";
    EXPECT_TRUE(host.messages.empty()) << "with logging on the error is only logged";
    EXPECT_EQ(log.size(), 4u);

    state.Debug = kFalse;
    writeSheet("'VBScript\nSub main\n  PrintText Char.PD(6)\nEnd Sub\n");
    EXPECT_EQ(run(), ReportResult::ScriptFailed);
    EXPECT_NE(host.messages.back().find(u"Error 9:Subscript out of range in line 3"), Text::npos);

    writeSheet("'VBScript\nSub main\n  PrintText \"fine again\"\nEnd Sub\n");
    EXPECT_EQ(run(), ReportResult::Previewed) << "the next run works normally";
}

TEST_F(RunnerTest, SheetReadsFilesBesideItAndBesideTheCharacterOnly)
{
    namespace fs = std::filesystem;
    fs::create_directories(dir + "/sheets");
    fs::create_directories(dir + "/chars");
    std::ofstream(dir + "/sheets/rules.txt") << "house rule\n";
    std::ofstream(dir + "/chars/notes.txt") << "character note\n";
    std::ofstream(dir + "/secret.txt") << "secret\n";
    state.TesseraFile = fromUtf8(dir + "/sheets/sheet.tsx");
    state.CurrentCharFile = fromUtf8(dir + "/chars/ann.kvr");
    writeSheet("'VBScript\n"
               "Sub main\n"
               "  Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
               "  DebugLog fso.OpenTextFile(\"rules.txt\").ReadLine\n"
               "  DebugLog fso.OpenTextFile(\"" + dir + "/chars/notes.txt\").ReadLine\n"
               "  On Error Resume Next\n"
               "  DebugLog fso.OpenTextFile(\"../secret.txt\").ReadLine\n"
               "  DebugLog \"secret: \" & Err.Number\n"
               "End Sub\n");
    EXPECT_EQ(run(), ReportResult::Previewed);
    EXPECT_EQ(log, (std::vector<Text>{u"PrintReport:: Getting script lines", u"PrintReport:: Beginning script processing",
                                      u"  house rule", u"  character note", u"  secret: 70",
                                      u"PrintReport:: Script processing completed"}));
}
