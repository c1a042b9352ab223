// Runs the real quillet-print executable on the bundled samples and on
// broken files, and checks its JSON output and exit status.
#include "print_test_folder.h"

#include <string>

namespace {

using quillet::testing::expectParts;
using quillet::testing::has;
using DumpCommand = quillet::testing::PrintTestFolder;

// quillet-print with `args`: its standard output alone, the JSON.
quillet::testing::CommandOutcome run(const std::string& args)
{
    return quillet::testing::runCommand(quillet::testing::quilletPrint() + " " + args + " 2>/dev/null");
}

std::string sample(const std::string& name)
{
    return std::string(QUILLET_BIN_DIR) + "/characters/" + name;
}

} // namespace

TEST_F(DumpCommand, BundledSamplesReadCompletely)
{
    const auto aldric = run("--dump " + sample("aldric.kvr"));
    EXPECT_EQ(aldric.status, 0);
    expectParts(aldric.out, {"\"status\": \"ok\"", "\"Name\": \"Sir Aldric Venn\"", "\"TotalCost\": 123",
                             "\"TagFullName\": \"Status (Knight)\"",
                             "aldric.png\""}); // the portrait is found beside the file

    const auto corwin = run("--dump " + sample("corwin.chr"));
    EXPECT_EQ(corwin.status, 0);
    expectParts(corwin.out, {"Saint \xC3\x89lan", // Windows-1252 text comes out as UTF-8
                             "\\r\\n"});
    EXPECT_TRUE(has(corwin.out, "\\u201cThe Lesser Key") || has(corwin.out, "\xE2\x80\x9CThe Lesser Key"));

    const auto mira = run("--dump " + sample("mira.kvr"));
    EXPECT_EQ(mira.status, 0);
    expectParts(mira.out, {"\"UnspentPoints\": 0.5", "name(Cooking),type(IQ/A),level(11),points(1),page(B185)",
                           "name(Disguise),nameext(Human child),type(IQ/A),level(12)"});
}

TEST_F(DumpCommand, RefusedAndFailedReads)
{
    const auto old = run("--dump " + file("old.kvr", "[character]\r\nname(x)\r\n"));
    EXPECT_EQ(old.status, 2);
    expectParts(old.out, {"\"status\": \"rejected\"", "prior to v2.", "\"character\": {"});

    const auto bad =
        run("--dump " + file("bad.kvr", "[system]\r\n[general]\r\ncharname(Half Read)\r\n[race]\r\nst(1), oops\r\n"));
    EXPECT_EQ(bad.status, 2);
    expectParts(bad.out, {"\"status\": \"failed\"", "\"number\": 5",
                          "\"description\": \"Invalid procedure call or argument\"",
                          "\"line\": 5",                // where reading stopped
                          "\"Name\": \"Half Read\"",    // what was read before the failure stays
                          "\"STAdj\": 1"});

    const auto missing = run("--dump " + path("absent.kvr"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(has(missing.out, "\"number\": 53"));

    // An item line of 32,767 characters reads, but its tag list is one
    // longer than the text operations take: the dump fails with the error
    // instead of ending the program, and the JSON stays whole.
    const auto longLine =
        run("--dump " + file("long.kvr", "[system]\r\n[skills]\r\nname(" + std::string(32761, 'a') + ")\r\n"));
    EXPECT_EQ(longLine.status, 2);
    expectParts(longLine.out, {"\"status\": \"failed\"", "\"number\": 6", "\"TagFullName\": null"});
    EXPECT_EQ(longLine.out.substr(longLine.out.size() - 2), "}\n");

    EXPECT_EQ(run("--dump").status, 3);
    EXPECT_EQ(run("--frobnicate x").status, 3);
}
