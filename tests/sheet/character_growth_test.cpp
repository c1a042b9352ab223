// What scripts add to the character counts against the run's memory
// limit: growing it without end is error 7, what shrinks is given back,
// and a character that earlier runs grew is charged again by later ones.
#include "recording_host.h"
#include "sheet_folder.h"

#include "script/engine.h"
#include "sheet/character_growth.h"
#include "sheet/character_objects.h"
#include "sheet/mod_print_report.h"
#include "state/app_state.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

constexpr size_t kLimit = size_t(8) << 20;

script::EngineLimits smallLimits()
{
    script::EngineLimits limits;
    limits.memoryLimit = kLimit;
    return limits;
}

std::shared_ptr<KVRCharacter> characterWithASkill()
{
    auto character = std::make_shared<KVRCharacter>();
    auto item = std::make_shared<clsItem>();
    item->NewTagList(u"name(Stealth), level(14)");
    character->list(ListSkills).Add(item);
    return character;
}

class CharacterGrowthTest : public ::testing::Test {
protected:
    CharacterGrowthTest() : character(characterWithASkill())
    {
        engine.addObject(u"Char", characterObject(character), true);
    }

    // The error number of running `code`, 0 when it succeeded.
    int run(const char16_t* code)
    {
        return engine.addCode(code) ? 0 : engine.lastError().number;
    }

    std::shared_ptr<KVRCharacter> character;
    script::Engine engine{smallLimits()};
};

TEST_F(CharacterGrowthTest, EveryWayOfGrowingTheCharacterEndsInOutOfMemory)
{
    const char16_t* growers[] = {
        u"Set it = Char.Lists(6)(1)\nk = Space(50000)\nDo\n  Char.Lists(6).Add it, k & Char.Lists(6).Count\nLoop\n",
        u"Set it = Char.Lists(6)(1)\nDo\n  Char.Lists(6).Add it\nLoop\n",
        u"Do\n  Char.Notes = Char.Notes & Space(100000)\nLoop\n",
        u"Do\n  Char.PD(2) = Char.PD(2) & Space(100000)\nLoop\n",
        u"Do\n  Char.Race.Name = Char.Race.Name & Space(100000)\nLoop\n",
        u"Set it = Char.Lists(6)(1)\nDo\n  it.TagList = it.TagList & Space(100000)\nLoop\n",
        u"Set it = Char.Lists(6)(1)\nDo\n  it.Name = it.Name & Space(100000)\nLoop\n",
    };
    for (const char16_t* grower : growers) {
        engine.reset();
        engine.addObject(u"Char", characterObject(character), true);
        {
            CharacterGrowthScope growth(character);
            EXPECT_EQ(run(grower), 7) << toUtf8(grower);
            EXPECT_LE(engine.memoryInUse(), kLimit);
            EXPECT_LE(character->ScriptAddedBytes, kLimit);
        }
        character = characterWithASkill(); // as it was, for the next grower
    }
}

TEST_F(CharacterGrowthTest, AChangeRefusedForMemoryLeavesTheItemAsItWas)
{
    CharacterGrowthScope growth(character);
    const Text before = character->list(ListSkills).Item(1)->TagList();
    EXPECT_EQ(run(u"Char.Notes = Space(2000000)\nChar.Lists(6)(1).TagItem(\"extra\") = Space(1500000)\n"), 7);
    EXPECT_EQ(character->list(ListSkills).Item(1)->TagList(), before);
    EXPECT_EQ(character->ScriptAddedBytes, size_t(4000000));
    EXPECT_EQ(engine.lastError().line, 2);
}

TEST_F(CharacterGrowthTest, WhatShrinksIsGivenBack)
{
    CharacterGrowthScope growth(character);
    EXPECT_EQ(run(u"For i = 1 To 20\n  Char.Notes = Space(1000000)\n  Char.Notes = \"\"\n"
                  u"  Char.Lists(6).Add Char.Lists(6)(1), Space(1000000)\n  Char.Lists(6).Remove 2\nNext\n"),
              0);
    EXPECT_EQ(character->ScriptAddedBytes, 0u);
    EXPECT_EQ(character->list(ListSkills).Count(), 1);
}

TEST_F(CharacterGrowthTest, OutsideARunNothingIsCounted)
{
    // No scope: the program's own changes, and scripts of other hosts.
    EXPECT_EQ(run(u"Char.Notes = Space(100000)\n"), 0);
    EXPECT_EQ(character->ScriptAddedBytes, 0u);
}

class GrowthAcrossRunsTest : public ::testing::Test {
protected:
    void SetUp() override { folder.state.Debug = kTrue; }

    ReportResult run(const std::string& body)
    {
        folder.writeMain(body);
        ReportContext context{folder.state, engine, host, [this](const Text& line) { log.push_back(line); }, {}};
        return PrintReport(context, false);
    }

    SheetFolder folder;
    AppState& state = folder.state;
    script::Engine engine{smallLimits()};
    RecordingHost host;
    std::vector<Text> log;
};

TEST_F(GrowthAcrossRunsTest, ACharacterGrownByEarlierRunsIsChargedAgain)
{
    // Each run adds 2 MB (holding another 2 MB while it does): alone, every
    // one of them is well within the 8 MB limit.
    EXPECT_EQ(run("  Char.Notes = Space(1000000)\r\n"), ReportResult::Previewed);
    EXPECT_EQ(run("  Char.Description = Space(1000000)\r\n"), ReportResult::Previewed);
    EXPECT_EQ(run("  Char.Player = Space(1000000)\r\n"), ReportResult::Previewed);
    EXPECT_EQ(state.currentCharacter().ScriptAddedBytes, 6000000u);
    EXPECT_EQ(run("  Char.Portrait = Space(1000000)\r\n"), ReportResult::ScriptFailed);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].substr(0, 8), u"Error 7:");
    EXPECT_EQ(state.currentCharacter().ScriptAddedBytes, 6000000u);
    // A fresh character starts from nothing.
    state.ClearCharacter();
    EXPECT_EQ(run("  Char.Portrait = Space(1000000)\r\n"), ReportResult::Previewed);
}

} // namespace
