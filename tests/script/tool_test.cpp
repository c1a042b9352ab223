// The quillet-script tool: output, exit status and the error line format.
#include "../run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kTool = std::string(QUILLET_BIN_DIR) + "/quillet-script";
const std::string kDir = std::string(QUILLET_SOURCE_DIR) + "/tests/script/tool/";

using Result = quillet::testing::CommandOutcome;

// Standard output and standard error together.
Result run(const std::string& args)
{
    return quillet::testing::runCommand(kTool + " " + args + " 2>&1");
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Output and exit status: a script run to its end, a runtime error (file,
// line and column, status 1), a compile error (nothing runs), Quit's code.
TEST(QuilletScriptTool, PrintsWhatTheScriptEchoesAndItsErrorAndExitsWithItsStatus)
{
    struct Case {
        std::string args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {"sheet_style.vbs", 0, readFile(kDir + "sheet_style.out")},
        {"errors_report.vbs first second", 1,
         "before first 2\n" + kDir + "errors_report.vbs(4, 1) runtime error 11: Division by zero\n"},
        {"syntax.vbs", 1, kDir + "syntax.vbs(3, 1) compile error 1014: Expected 'End'\n"},
        {"quit.vbs", 3, "quitting\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = run(kDir + c.args);
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.out, r.out);
    }
}

TEST(QuilletScriptTool, ReadsBesideTheScriptAndInTheCurrentFolderOnly)
{
    const std::string current = ::testing::TempDir() + "tool-current-folder";
    std::filesystem::create_directories(current);
    std::ofstream(current + "/started_here.txt") << "in the current folder\n";
    const Result r = quillet::testing::runCommand("cd '" + current + "' && " + kTool + " " + kDir +
                                                  "reads_files.vbs 2>&1");
    std::filesystem::remove_all(current);
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("beside the script\nin the current folder\nabove: 70\n", r.out);
}

TEST(QuilletScriptTool, MissingFileIsReported)
{
    const Result r = run(kDir + "no-such-file.vbs");
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.out.find("cannot open"));
}

} // namespace
