#include "reader_fixture.h"

#include "common/vb_error.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

const std::vector<std::string> kFullFile = {
    "[system]",
    "version(2.4), build(17)",
    "[system notes]",
    "anything at all",
    "[General]",
    "Charname(Ann Lee)",
    "playername(Sam)",
    "charinplay(1)",
    "description(Tall.~PQuiet~pno)",
    "notes(Owes 20 gold)",
    "unknownline(x)",
    "[points]",
    "attributes(10), ads(15.5), total(-3), skills(abc)",
    "[race]",
    "name(Dwarf), st(1), stcost(10), ht(2), htcost(20), st(3)",
    "[ATTRIBUTES]",
    "name(ST), level(13), points(30)",
    "[advantages]",
    "name(Combat Reflexes), points(15), page(B20)",
    "[disads]",
    "name(Greed), points(-15)",
    "[quirks]",
    "name(Hums)",
    "[powers]",
    "[skills]",
    "name(Karate), nameext(Kick), level(12)",
    "name(Broadsword), level(14), notes(\"parry, block\")",
    "[spells]",
    "name(Light), level(11)",
    "[packages]",
    "name(Soldier)",
    "[packageitems]",
    "name(Broadsword)",
    "[pd/dr]",
    "pd(1), dr(2)",
    "name(arms)",
    "pd(3), dr(4), otherpd(5)",
    "name(torso), pd(9), dr(9), otherdr(6)",
    "name(FEET), pd(2) , dr(3)",
    "[basedamage]",
    "baseswing(2d-1), basethrust(1d)",
    "[misc]",
    "parrywith(Broadsword), parryat(7), parryscore(7.5), blockwith(Shield), blockat(6), blockscore(6)",
    "[encmults]",
    "nencmult(1), lencmult(2), mencmult(3), hencmult(6), xencmult(10)",
    "[mystery]",
    "name(ignored)",
};

} // namespace

TEST_F(ReaderTest, ReadsEverySection)
{
    const Text path = writeLines("full.kvr", kFullFile);
    ASSERT_EQ(read(path), 0);
    KVRCharacter& c = character();
    EXPECT_EQ(c.Name, u"Ann Lee");
    EXPECT_EQ(c.Player, u"Sam");
    EXPECT_EQ(c.InPlay, 1);
    EXPECT_EQ(c.Description, u"Tall.\r\nQuiet~pno");
    EXPECT_EQ(c.Notes, u"Owes 20 gold");
    EXPECT_EQ(c.StatCost.toText(), u"10");
    EXPECT_EQ(c.AdCost.toText(), u"15.5");
    EXPECT_EQ(c.TotalCost.toText(), u"-3");
    EXPECT_EQ(c.SkillCost.toText(), u"0");
    EXPECT_EQ(c.Race->Name, u"Dwarf");
    EXPECT_EQ(c.Race->STAdj, 3) << "the later key wins";
    EXPECT_EQ(c.Race->HTCost, 20);
    EXPECT_EQ(list(ListAttributes).Count(), 1);
    EXPECT_EQ(list(ListAdvantages).Item(1)->TagItem(u"page"), u"B20");
    EXPECT_EQ(list(ListDisadvantages).Count(), 1);
    EXPECT_EQ(list(ListQuirks).Count(), 1);
    EXPECT_EQ(list(ListPowers).Count(), 0);
    ASSERT_EQ(list(ListSkills).Count(), 2);
    EXPECT_EQ(list(ListSkills).Item(1)->TagFullName(), u"Karate (Kick)");
    EXPECT_EQ(list(ListSkills).Item(2)->TagItem(u"notes"), u"\"parry, block\"");
    EXPECT_EQ(list(ListSpells).Count(), 1);
    EXPECT_EQ(list(ListEquipment).Count(), 0);
    EXPECT_EQ(c.PD(0), u"1");
    EXPECT_EQ(c.DR(0), u"2");
    EXPECT_EQ(c.PD(2), u"3");
    EXPECT_EQ(c.DR(2), u"4");
    EXPECT_EQ(c.PD(1), u"") << "torso is no location: pd and dr ignored";
    EXPECT_EQ(c.OtherPD, u"5");
    EXPECT_EQ(c.OtherDR, u"6");
    EXPECT_EQ(c.PD(5), u"2)") << "a blank before the comma costs the parenthesis";
    EXPECT_EQ(c.DR(5), u"3");
    EXPECT_EQ(c.BaseSW, u"2d-1");
    EXPECT_EQ(c.BaseTH, u"1d");
    EXPECT_EQ(c.ParryUsing, u"Broadsword");
    EXPECT_EQ(c.ParryAt, u"7");
    EXPECT_EQ(c.ParryScore, 8) << "7.5 rounds to even";
    EXPECT_EQ(c.BlockScore, 6);
    EXPECT_EQ(c.XEncMult, 10);
    EXPECT_EQ(state.CurrentCharFile, path);
    EXPECT_EQ(ui.caption, u"KVR Character Printer v2.0 \u00DF14 (" + path + u")");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_GT(ui.events, 40);
    EXPECT_EQ(state.Busy, 0);
}

TEST_F(ReaderTest, LogicalLinesJoinAtUnderscoreCommaAndBar)
{
    const Text path = writeLines("join.kvr", {
        "  [SYSTEM]  ",
        "[general]",
        "charname(abc _",
        "def)",
        "playername(abc_",
        "  def)",
        "[race]",
        "st(10),",
        "dx(11)",
        "[skills]",
        "name(A)|",
        "level(3)",
        "name(B\tC)",
    });
    ASSERT_EQ(read(path), 0);
    EXPECT_EQ(character().Name, u"abc def");
    EXPECT_EQ(character().Player, u"abcdef");
    EXPECT_EQ(character().Race->STAdj, 10);
    EXPECT_EQ(character().Race->DXAdj, 11);
    ASSERT_EQ(list(ListSkills).Count(), 2);
    EXPECT_EQ(list(ListSkills).Item(1)->TagList(), u",name(A)|level(3)");
    EXPECT_EQ(list(ListSkills).Item(2)->TagItem(u"name"), u"B C") << "a TAB reaches the value as a blank";
}

TEST_F(ReaderTest, AnyLineEndAndNoFinalLineEnd)
{
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string bytes = "[system]" + eol + "[general]" + eol + "charname(Eve)" + eol + "[skills]" + eol +
                                  "name(Stealth)" + eol + "name(Climbing)";
        ASSERT_EQ(read(writeFile("eol.kvr", bytes)), 0);
        EXPECT_EQ(character().Name, u"Eve");
        EXPECT_EQ(list(ListSkills).Count(), 2);
        EXPECT_EQ(list(ListSkills).Item(2)->TagItem(u"name"), u"Climbing");
    }
}

TEST_F(ReaderTest, Windows1252AndUtf8Text)
{
    ASSERT_EQ(read(writeFile("w.kvr", "[system]\r\n[general]\r\ncharname(Bj\xF6rn \x93the Bold\x94)\r\n")), 0);
    EXPECT_EQ(character().Name, u"Bj\u00F6rn \u201Cthe Bold\u201D");
    ASSERT_EQ(read(writeFile("u.kvr", "\xEF\xBB\xBF[system]\n[general]\ncharname(Bj\xC3\xB6rn)\n")), 0);
    EXPECT_EQ(character().Name, u"Bj\u00F6rn");
}

TEST_F(ReaderTest, EachReadStartsFromANewCharacter)
{
    const Text path = writeLines("twice.kvr", kFullFile);
    ASSERT_EQ(read(path), 0);
    const int32_t firstKey = list(ListSkills).Item(1)->IDKey();
    ASSERT_EQ(read(path), 0);
    EXPECT_EQ(list(ListSkills).Count(), 2);
    EXPECT_GT(list(ListSkills).Item(1)->IDKey(), firstKey);
    EXPECT_EQ(state.Characters.Count(), 1);
    EXPECT_EQ(state.CurrentCharacter, 1);
}

TEST_F(ReaderTest, OnlyTheSystemHeader)
{
    const Text path = writeFile("empty-char.kvr", "[system]");
    ASSERT_EQ(read(path), 0);
    EXPECT_EQ(character().Name, u"");
    EXPECT_NE(ui.caption.find(path), Text::npos);
}

TEST_F(ReaderTest, PortraitFoundMissingAndRelative)
{
    writeFile("face.png", "not really a picture, the reader only checks it exists");
    const Text missing = fromUtf8(dir + "/nope.png");
    const Text path = writeLines("p.kvr", {"[system]", "[general]", "portraitfile(" + dir + "/nope.png)",
                                           "portraitfile(face.png)"});
    ASSERT_EQ(read(path), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], u"Character portrait file " + missing + u" was not found.");
    ASSERT_EQ(ui.portraits.size(), 2u);
    EXPECT_EQ(ui.portraits[0], u"");
    EXPECT_EQ(ui.portraits[1], fromUtf8(dir + "/face.png")) << "relative paths are looked up beside the file";
    EXPECT_EQ(character().Portrait, fromUtf8(dir + "/face.png"));
}

TEST_F(ReaderTest, PortraitsFromWindowsAreFoundBesideTheFile)
{
    writeFile("Ann.PNG", "picture");
    const Text path = writeLines("w.kvr", {"[system]", "[general]", "portraitfile(C:\\Chars\\ann.png)"});
    ASSERT_EQ(read(path), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(character().Portrait, fromUtf8(dir + "/Ann.PNG"));

    ASSERT_EQ(read(writeLines("x.kvr", {"[system]", "[general]", "portraitfile(C:\\Chars\\bob.png)"})), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], u"Character portrait file C:\\Chars\\bob.png was not found.");
}

TEST_F(ReaderTest, LargeFileReadsCompletely)
{
    std::string bytes = "[system]\r\n[skills]\r\n";
    int lines = 0;
    while (bytes.size() < 5 * 1024 * 1024) {
        bytes += "name(Skill " + std::to_string(lines) + "), level(12), points(4), type(DX/A), page(B" +
                 std::to_string(lines % 300) + ")\r\n";
        ++lines;
    }
    ASSERT_EQ(read(writeFile("big.kvr", bytes)), 0);
    EXPECT_EQ(list(ListSkills).Count(), lines);
    EXPECT_EQ(list(ListSkills).Item(lines)->TagItem(u"name"), u"Skill " + decimalText(lines - 1));
}

TEST(ReaderHelpers, BlanksAndParagraphMarks)
{
    EXPECT_EQ(BlankTabsAndNuls(Text(u"a\tb") + u'\0' + u"c"), u"a b c");
    Text t = u"a~Pb~P";
    ExpandParagraphMarks(t, u"~P", u"\r\n");
    EXPECT_EQ(t, u"a\r\nb\r\n");
    Text unchanged = u"a~pb";
    ExpandParagraphMarks(unchanged, u"~P", u"\r\n");
    EXPECT_EQ(unchanged, u"a~pb");
    std::vector<Text> elements;
    SplitElements(u"a(1,2), b(\"x,\"", elements);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0], u"");
    EXPECT_EQ(elements[1], u"a(1,2)");
}
