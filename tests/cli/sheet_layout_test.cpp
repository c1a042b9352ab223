// Pages as hand-made sheets lay them out, printed with quillet-print and
// read back word by word with `pdftotext -bbox`: rows placed by hand never
// run into each other, titles stay clear of the tables under them, check
// boxes print as boxes.
#include "print_test_folder.h"

#include <regex>
#include <string>
#include <vector>

namespace {

using quillet::testing::runCommand;

struct Word {
    int page = 0;
    double left = 0, top = 0, right = 0, bottom = 0;  // points
    std::string text;
};

// Every word of the PDF with its box.
std::vector<Word> wordsOf(const std::string& pdf)
{
    const std::string html = runCommand("pdftotext -bbox " + pdf + " - 2>/dev/null").out;
    static const std::regex tag("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                                "yMax=\"([0-9.]+)\">([^<]*)</word>");
    std::vector<Word> words;
    int page = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (!m[1].matched)
            ++page;
        else
            words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return words;
}

// Words whose boxes share more than a sliver: text printed over text.
std::vector<std::string> overlaps(const std::vector<Word>& words)
{
    std::vector<std::string> found;
    for (size_t i = 0; i < words.size(); ++i)
        for (size_t j = i + 1; j < words.size(); ++j) {
            const Word& a = words[i];
            const Word& b = words[j];
            const double w = std::min(a.right, b.right) - std::max(a.left, b.left);
            const double h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
            if (a.page == b.page && w > 0.5 && h > 1.0)
                found.push_back("page " + std::to_string(a.page) + ": '" + a.text + "' and '" + b.text + "'");
        }
    return found;
}

const Word* find(const std::vector<Word>& words, const std::string& text)
{
    for (const Word& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

class SheetLayoutTest : public quillet::testing::PrintTestFolder {
protected:
    void SetUp() override
    {
        if (runCommand("command -v pdftotext").status != 0)
            GTEST_SKIP() << "poppler-utils not installed";
        PrintTestFolder::SetUp();
    }

    // Prints `character` with the sheet and returns the PDF's path.
    std::string print(const std::string& sheet, const std::string& character, std::string* log = nullptr)
    {
        const std::string pdf = path("out.pdf");
        const auto r = quillet::testing::print("--log --sheet " + sheet + " --output " + pdf + " " + character);
        EXPECT_EQ(r.status, 0) << r.out;
        if (log)
            *log = r.out;
        return pdf;
    }
};

const char* const kCharacter = "[system]\r\n[general]\r\ncharname(Tess Arden)\r\nplayername(Lou)\r\n";

TEST_F(SheetLayoutTest, HandPlacedRowsTitlesTablesAndCheckBoxesKeepClearOfEachOther)
{
    const std::string sheet = file("rows.tsx",
        "'VBScript\r\n"
        "Sub main\r\n"
        "  FontSize = 8\r\n"
        "  CurrentY = 5: PrintAtLeft \"Kingdom Fishing (the Salt Road) - taught by Maitre Jerome (north wing)\", 4.3\r\n"
        "  PrintAtRight \"10\", 8.4\r\n"
        "  CurrentY = 5.15: PrintAtLeft \"Swimming\", 4.3\r\n"
        "  PrintAtRight \"12\", 8.4\r\n"
        "  FontSize = 11\r\n"
        "  CurrentY = 2: PrintAtLeft \"SKILLS\", 1\r\n"
        "  AddTable \"<2|>1\", \"Name|Lvl\", \"Stealth|1;Climbing|2;\", 0, 0, False\r\n"
        "  FontName = \"Wingdings\": PrintAtLeft Chr(254) & Chr(168), 1\r\n"
        "  FontName = \"Arial\"\r\n"
        "  CurrentY = 10.2: PrintAtLeft \"Notes:\" & vbCrLf & \"second\", 1\r\n"
        "End Sub\r\n");
    const std::vector<Word> words = wordsOf(print(sheet, file("tess.kvr", kCharacter)));
    EXPECT_EQ(overlaps(words), std::vector<std::string>{});

    // The long placed row runs past the right margin (7.5 inches) on its
    // own line, and the number beside it stays there too.
    const Word* kingdom = find(words, "Kingdom");
    const Word* wing = find(words, "wing)");
    const Word* ten = find(words, "10");
    const Word* swimming = find(words, "Swimming");
    ASSERT_TRUE(kingdom && wing && ten && swimming);
    EXPECT_NEAR(wing->top, kingdom->top, 0.5);
    EXPECT_GT(wing->right, 7.5 * 72);
    EXPECT_NEAR(ten->top, kingdom->top, 0.5);
    EXPECT_GT(swimming->top, kingdom->top + 5);

    // The table starts below its title; 0 and False shade nothing, so the
    // cell text is printed black on white and can be read back.
    const Word* title = find(words, "SKILLS");
    const Word* header = find(words, "Name");
    ASSERT_TRUE(title && header && find(words, "Climbing"));
    EXPECT_GE(header->top, title->bottom - 0.5);

    // The placed note stays together on its page.
    const Word* notes = find(words, "Notes:");
    const Word* second = find(words, "second");
    ASSERT_TRUE(notes && second);
    EXPECT_EQ(notes->page, 1);
    EXPECT_EQ(second->page, 1);

    // The Wingdings codes print as a ticked and an empty box.
    EXPECT_NE(find(words, "\u2611\u25FB"), nullptr);
}

TEST_F(SheetLayoutTest, TheHandPlacedSampleSheetPrintsEveryCharacterWithoutOverprinting)
{
    const std::string sheet = std::string(QUILLET_SOURCE_DIR) + "/tests/cli/sheets/hand_placed.tsx";
    for (const char* character : {"aldric.kvr", "mira.kvr", "corwin.chr"}) {
        const std::string path = std::string(QUILLET_SOURCE_DIR) + "/data/characters/" + character;
        std::string log;
        const std::vector<Word> words = wordsOf(print(sheet, path, &log));
        EXPECT_GT(words.size(), 100u) << character;
        EXPECT_EQ(overlaps(words), std::vector<std::string>{}) << character;
        EXPECT_EQ(log.find("not installed"), std::string::npos) << log;
    }
}

TEST_F(SheetLayoutTest, AnUnknownFontIsLoggedOnceWithItsSubstitute)
{
    const std::string sheet = file("font.tsx", "'VBScript\r\nSub main\r\n"
                                               "  FontName = \"Papyrus Deluxe\": PrintParagraph \"one\"\r\n"
                                               "  FontName = \"Papyrus Deluxe\": PrintParagraph \"two\"\r\n"
                                               "End Sub\r\n");
    std::string log;
    print(sheet, file("tess.kvr", kCharacter), &log);
    const std::string line = "Surface: font \"Papyrus Deluxe\" is not installed; printing in Liberation Sans instead";
    const size_t at = log.find(line);
    EXPECT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.find(line, at + 1), std::string::npos) << log;
}

} // namespace
