// Runs the real quillet-print executable on the bundled samples and on
// broken files, and checks its JSON output and exit status.
#include "common/text.h"

#include "../run_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using ToolRun = quillet::testing::CommandOutcome;

ToolRun run(const std::string& args)
{
    return quillet::testing::runCommand(std::string(QUILLET_BIN_DIR) + "/quillet-print " + args + " 2>/dev/null");
}

std::string sample(const std::string& name)
{
    return std::string(QUILLET_BIN_DIR) + "/characters/" + name;
}

bool contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}

} // namespace

TEST(DumpCommand, BundledSamplesReadCompletely)
{
    const ToolRun aldric = run("--dump " + sample("aldric.kvr"));
    EXPECT_EQ(aldric.status, 0);
    EXPECT_TRUE(contains(aldric.out, "\"status\": \"ok\""));
    EXPECT_TRUE(contains(aldric.out, "\"Name\": \"Sir Aldric Venn\""));
    EXPECT_TRUE(contains(aldric.out, "aldric.png\"")) << "the portrait is found beside the file";
    EXPECT_TRUE(contains(aldric.out, "\"TotalCost\": 123"));
    EXPECT_TRUE(contains(aldric.out, "\"TagFullName\": \"Status (Knight)\""));

    const ToolRun corwin = run("--dump " + sample("corwin.chr"));
    EXPECT_EQ(corwin.status, 0);
    EXPECT_TRUE(contains(corwin.out, "Saint \xC3\x89lan")) << "Windows-1252 text comes out as UTF-8";
    EXPECT_TRUE(contains(corwin.out, "\\u201cThe Lesser Key") || contains(corwin.out, "\xE2\x80\x9CThe Lesser Key"));
    EXPECT_TRUE(contains(corwin.out, "\\r\\n"));

    const ToolRun mira = run("--dump " + sample("mira.kvr"));
    EXPECT_EQ(mira.status, 0);
    EXPECT_TRUE(contains(mira.out, "\"UnspentPoints\": 0.5"));
    EXPECT_TRUE(contains(mira.out, "name(Cooking),type(IQ/A),level(11),points(1),page(B185)"));
    EXPECT_TRUE(contains(mira.out, "name(Disguise),nameext(Human child),type(IQ/A),level(12)"));
}

TEST(DumpCommand, RefusedAndFailedReads)
{
    const auto dir = std::filesystem::temp_directory_path() / "quillet-dump-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "old.kvr") << "[character]\r\nname(x)\r\n";
    std::ofstream(dir / "bad.kvr") << "[system]\r\n[general]\r\ncharname(Half Read)\r\n[race]\r\nst(1), oops\r\n";

    const ToolRun old = run("--dump " + (dir / "old.kvr").string());
    EXPECT_EQ(old.status, 2);
    EXPECT_TRUE(contains(old.out, "\"status\": \"rejected\""));
    EXPECT_TRUE(contains(old.out, "prior to v2."));
    EXPECT_TRUE(contains(old.out, "\"character\": {"));

    const ToolRun bad = run("--dump " + (dir / "bad.kvr").string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(contains(bad.out, "\"status\": \"failed\""));
    EXPECT_TRUE(contains(bad.out, "\"number\": 5"));
    EXPECT_TRUE(contains(bad.out, "\"description\": \"Invalid procedure call or argument\""));
    EXPECT_TRUE(contains(bad.out, "\"line\": 5")) << "where reading stopped";
    EXPECT_TRUE(contains(bad.out, "\"Name\": \"Half Read\"")) << "what was read before the failure stays";
    EXPECT_TRUE(contains(bad.out, "\"STAdj\": 1"));

    const ToolRun missing = run("--dump " + (dir / "absent.kvr").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(contains(missing.out, "\"number\": 53"));

    // An item line of 32,767 characters reads, but its tag list is one
    // longer than the text operations take: the dump fails with the error
    // instead of ending the program, and the JSON stays whole.
    std::ofstream(dir / "long.kvr") << "[system]\r\n[skills]\r\nname(" << std::string(32761, 'a') << ")\r\n";
    const ToolRun longLine = run("--dump " + (dir / "long.kvr").string());
    EXPECT_EQ(longLine.status, 2);
    EXPECT_TRUE(contains(longLine.out, "\"status\": \"failed\""));
    EXPECT_TRUE(contains(longLine.out, "\"number\": 6"));
    EXPECT_TRUE(contains(longLine.out, "\"TagFullName\": null"));
    EXPECT_EQ(longLine.out.substr(longLine.out.size() - 2), "}\n");

    EXPECT_EQ(run("--dump").status, 3);
    EXPECT_EQ(run("--frobnicate x").status, 3);
    std::filesystem::remove_all(dir);
}
