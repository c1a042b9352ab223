// The quillet-script tool: output, exit status and the error line format.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

const std::string kTool = std::string(QUILLET_BIN_DIR) + "/quillet-script";
const std::string kDir = std::string(QUILLET_SOURCE_DIR) + "/tests/script/tool/";

struct Result {
    std::string output; // standard output and standard error together
    int status = -1;
};

Result run(const std::string& args)
{
    Result r;
    FILE* pipe = popen((kTool + " " + args + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
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
    EXPECT_EQ(readFile(kDir + "sheet_style.out"), r.output);
}

TEST(QuilletScriptTool, RuntimeErrorPrintsFileLineColumnAndExitsWithOne)
{
    const std::string file = kDir + "errors_report.vbs";
    const Result r = run(file + " first second");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("before first 2\n" + file + "(4, 1) runtime error 11: Division by zero\n", r.output);
}

TEST(QuilletScriptTool, CompileErrorRunsNothing)
{
    const std::string file = kDir + "syntax.vbs";
    const Result r = run(file);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(file + "(3, 1) compile error 1014: Expected 'End'\n", r.output);
}

TEST(QuilletScriptTool, QuitEndsWithItsCode)
{
    const Result r = run(kDir + "quit.vbs");
    EXPECT_EQ(3, r.status);
    EXPECT_EQ("quitting\n", r.output);
}

TEST(QuilletScriptTool, MissingFileIsReported)
{
    const Result r = run(kDir + "no-such-file.vbs");
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.output.find("cannot open"));
}

} // namespace
