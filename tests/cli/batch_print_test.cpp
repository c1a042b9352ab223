// quillet-print with several characters: one PDF each in a folder, or all
// in one PDF, each character from a new page with its own page numbers; a
// character that fails is named and the others are printed.
#include "print_test_folder.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using Outcome = quillet::testing::CommandOutcome;
using quillet::testing::expectParts;
using quillet::testing::has;
using quillet::testing::print;
using quillet::testing::runWithErrors;

std::string character(const std::string& name)
{
    return "[system]\r\n[general]\r\ncharname(" + name + ")\r\nplayername(Lou)\r\n";
}

// Two pages per character, its name on each, numbered in the footer.
const char* const kSheet = "'VBScript\r\n"
                           "Sub main\r\n"
                           "  Footer = \"|Sheet of \" & Char.Name & \"|Page %d\"\r\n"
                           "  PrintParagraph \"Front of \" & Char.Name\r\n"
                           "  NewPage\r\n"
                           "  PrintParagraph \"Back of \" & Char.Name\r\n"
                           "End Sub\r\n";

class BatchPrintTest : public quillet::testing::PrintTestFolder {
protected:
    void SetUp() override
    {
        PrintTestFolder::SetUp();
        sheet = file("two.tsx", kSheet);
        // In the order given: a good one, one the reader refuses, another
        // good one in another folder.
        characters = file("tess.kvr", character("Tess Arden")) + " " + file("old.kvr", "[character]\r\n") + " " +
                     file("party/mira.chr", character("Mira Vale"));
    }

    std::string sheet;
    std::string characters;
};

TEST_F(BatchPrintTest, OnePdfPerCharacterInAFolder)
{
    const Outcome r = print("--sheet " + sheet + " --output-dir " + path("out") + " " + characters);
    EXPECT_EQ(r.status, 2) << "a character file failed\n" << r.out;
    expectParts(r.out, {"quillet-print: old.kvr: This program will not read characters from versions of KVR "
                        "prior to v2.",
                        "tess.kvr: 2 pages in ", "mira.chr: 2 pages in "}); // the run went on after the failure

    ASSERT_EQ(pageCount(path("out/tess.pdf")), 2);
    ASSERT_EQ(pageCount(path("out/mira.pdf")), 2);
    EXPECT_FALSE(fs::exists(path("out/old.pdf")));
    EXPECT_TRUE(has(pdfText(path("out/mira.pdf"), 2), "Back of Mira Vale"));
    // Each titled by its character and the sheet, as the desktop names them.
    EXPECT_TRUE(has(runWithErrors("pdfinfo " + path("out/mira.pdf")).out, " Mira Vale - two.tsx\n"));

    // All good: status 0.
    EXPECT_EQ(print("--sheet " + sheet + " --output-dir " + path("again") + " " + path("tess.kvr") + " " +
                    path("party/mira.chr"))
                  .status,
              0);
}

TEST_F(BatchPrintTest, AllInOnePdfEachNumberedFromOne)
{
    const std::string party = path("party.pdf");
    const Outcome r = print("--sheet " + sheet + " --output " + party + " --png " + path("png") + " " + characters);
    EXPECT_EQ(r.status, 2) << r.out;
    expectParts(r.out, {"old.kvr: This program will not read", party + ": 4 pages, 2 characters"});

    ASSERT_EQ(pageCount(party), 4);
    const std::string info = runWithErrors("pdfinfo " + party).out;
    EXPECT_TRUE(has(info, "Title:") && has(info, " two.tsx\n")) << "the sheet's name alone\n" << info;
    const std::string expected[4][2] = {{"Front of Tess Arden", "Page 1"},
                                        {"Back of Tess Arden", "Page 2"},
                                        {"Front of Mira Vale", "Page 1"},
                                        {"Back of Mira Vale", "Page 2"}};
    for (int page = 1; page <= 4; ++page)
        expectParts(pdfText(party, page), {expected[page - 1][0], expected[page - 1][1]});
    EXPECT_TRUE(fs::exists(path("png/page-4.png")));
    EXPECT_FALSE(fs::exists(path("png/page-5.png")));
}

TEST_F(BatchPrintTest, SheetFailureForOneCharacterAndConflicts)
{
    // The sheet fails for one character only.
    const std::string picky = file("picky.tsx", "'VBScript\r\nSub main\r\n  If Char.Name = \"Mira Vale\" Then x = 1 / 0\r\n"
                                                "  PrintParagraph Char.Name\r\nEnd Sub\r\n");
    const Outcome r = print("--sheet " + picky + " --output-dir " + path("out") + " " + path("party/mira.chr") +
                            " " + path("tess.kvr"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(has(r.out, "quillet-print: mira.chr: Error 11:Division by zero in line 3 / line is: ")) << r.out;
    EXPECT_TRUE(fs::exists(path("out/tess.pdf")));

    // Usage that would lose pages is refused before anything is written.
    file("party/tess.kvr", character("Other Tess"));
    const Outcome twice = print("--sheet " + sheet + " --output-dir " + path("same") + " " + path("tess.kvr") + " " +
                                path("party/tess.kvr"));
    EXPECT_EQ(twice.status, 3);
    EXPECT_TRUE(has(twice.out, "two characters would be printed to")) << twice.out;
    EXPECT_FALSE(fs::exists(path("same/tess.pdf")));
    EXPECT_EQ(print("--output a.pdf --output-dir " + path("x") + " " + path("tess.kvr")).status, 3);
}

} // namespace
