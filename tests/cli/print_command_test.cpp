// quillet-print end to end: real character files, real sheet scripts,
// PDF and PNG output read back with the poppler tools.
#include "print_test_folder.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using Outcome = quillet::testing::CommandOutcome;
using quillet::testing::expectParts;
using quillet::testing::has;
using quillet::testing::print;
using PrintCommandTest = quillet::testing::PrintTestFolder;

const char* const kCharacter = "[system]\r\n[general]\r\ncharname(Tess Arden)\r\nplayername(Lou)\r\n"
                               "[skills]\r\nname(Stealth), level(14)\r\nname(Climbing), level(12)\r\n";

} // namespace

TEST_F(PrintCommandTest, BundledSheetPrintsTheSampleCharacter)
{
    const Outcome r = print("--output " + path("sample.pdf") + " --png " + path("png"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_GE(pageCount(path("sample.pdf")), 2);
    expectParts(pdfText(path("sample.pdf"), 1), {"Sir Aldric Venn", "Combat Reflexes", "Page 1"});
    expectParts(pdfText(path("sample.pdf")), {"Broadsword", "Owes 40 silver"});
    EXPECT_TRUE(fs::exists(path("png/page-1.png")));
    EXPECT_TRUE(fs::exists(path("png/page-2.png")));
}

TEST_F(PrintCommandTest, SheetOfOurOwnWithLogLines)
{
    const std::string character = file("tess.kvr", kCharacter);
    const std::string sheet = file("list.tsx", "'VBScript\r\n"
                                               "Sub main\r\n"
                                               "  Dim item\r\n"
                                               "  Header = \"|\" & Char.Name & \"|\"\r\n"
                                               "  For Each item In Char.Lists(6)\r\n"
                                               "    PrintParagraph item.TagItem(\"name\") & \" \" & item.TagItem(\"level\")\r\n"
                                               "    DebugLog \"printed \" & item.TagFullName\r\n"
                                               "  Next\r\n"
                                               "  NewPage\r\n"
                                               "  PrintParagraph \"second page\"\r\n"
                                               "End Sub\r\n");
    const Outcome r = print("--log --sheet " + sheet + " " + character);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "PrintReport:: Getting script lines\nPrintReport:: Beginning script processing\n"
                           "  printed Stealth\n  printed Climbing\nPrintReport:: Script processing completed"));
    const std::string pdf = path("tess.pdf"); // beside the character by default
    ASSERT_EQ(pageCount(pdf), 2);
    expectParts(pdfText(pdf, 1), {"Stealth 14", "Tess Arden"});
    EXPECT_TRUE(has(pdfText(pdf, 2), "second page"));
    // Titled as the desktop names its print jobs: character and sheet.
    const std::string info = quillet::testing::runWithErrors("pdfinfo " + pdf).out;
    EXPECT_TRUE(has(info, "Title:") && has(info, " Tess Arden - list.tsx\n")) << info;
    EXPECT_TRUE(has(pdfText(pdf, 2), "Tess Arden")) << "the header repeats";
}

TEST_F(PrintCommandTest, SheetFailures)
{
    const std::string character = file("tess.kvr", kCharacter);
    const std::string bad = file("bad.tsx", "'VBScript\nSub main\n  x = 1 / 0\nEnd Sub\n");
    const struct {
        std::string options, reported;
    } failures[] = {
        {"--log --sheet " + bad + " --output " + path("bad.pdf"),
         "Error 11:Division by zero in line 3\nline is:   x = 1 / 0"},
        // Without --log the error is a message, each of its lines named as the command's.
        {"--sheet " + bad, "quillet-print: Error 11:Division by zero in line 3\nquillet-print: line is:   x = 1 / 0\n"},
        {"--sheet " + file("plain.tsx", "Sub main\nEnd Sub\n"), "is not marked as a VBScript file"},
        {"--sheet " + path("nowhere.tsx"), "does not exist. Please load a file that does exist."},
    };
    for (const auto& failure : failures) {
        const Outcome r = print(failure.options + " " + character);
        EXPECT_EQ(r.status, 1) << failure.options;
        EXPECT_TRUE(has(r.out, failure.reported)) << r.out;
    }
    EXPECT_FALSE(fs::exists(path("bad.pdf"))) << "no PDF after a failed script";
}

TEST_F(PrintCommandTest, RunawayScriptIsStopped)
{
    const std::string character = file("tess.kvr", kCharacter);
    const auto start = std::chrono::steady_clock::now();
    const Outcome r = print("--log --timeout 1 --sheet " + file("loop.tsx", "'VBScript\nSub main\n  Do\n  Loop\nEnd Sub\n") +
                            " " + character);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(seconds, 20);
    expectParts(r.out, {"stopped after running for 1 seconds", "line is:"});
}

TEST_F(PrintCommandTest, CharacterFailuresAndUsage)
{
    EXPECT_EQ(print(path("absent.kvr")).status, 2);
    const Outcome old = print(file("old.kvr", "[character]\r\n"));
    EXPECT_EQ(old.status, 2);
    EXPECT_TRUE(has(old.out, "prior to v2."));
    EXPECT_EQ(print("--timeout").status, 3);
    EXPECT_EQ(print("--timeout soon").status, 3);
    EXPECT_EQ(print("--colour red").status, 3);
}
