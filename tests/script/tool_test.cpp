// The quillet-script tool: output, exit status and the error line format.
#include "../run_command.h"

#include <gtest/gtest.h>

#include <cstdio>
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

TEST(QuilletScriptTool, RunsTheSheetStyleScript)
{
    const Result r = run(kDir + "sheet_style.vbs");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(readFile(kDir + "sheet_style.out"), r.out);
}

TEST(QuilletScriptTool, RuntimeErrorPrintsFileLineColumnAndExitsWithOne)
{
    const std::string file = kDir + "errors_report.vbs";
    const Result r = run(file + " first second");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("before first 2\n" + file + "(4, 1) runtime error 11: Division by zero\n", r.out);
}

TEST(QuilletScriptTool, CompileErrorRunsNothing)
{
    const std::string file = kDir + "syntax.vbs";
    const Result r = run(file);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(file + "(3, 1) compile error 1014: Expected 'End'\n", r.out);
}

TEST(QuilletScriptTool, QuitEndsWithItsCode)
{
    const Result r = run(kDir + "quit.vbs");
    EXPECT_EQ(3, r.status);
    EXPECT_EQ("quitting\n", r.out);
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
