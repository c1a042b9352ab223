// The character as scripts reach it, through the real engine.
#include "common/vb_error.h"
#include "script/engine.h"
#include "sheet/character_objects.h"

#include <gtest/gtest.h>

using namespace quillet;
using script::Value;

namespace {

class BindingsTest : public ::testing::Test {
protected:
    BindingsTest() : character(std::make_shared<KVRCharacter>())
    {
        character->Name = u"Ann";
        character->setPD(0, u"3");
        character->Race->STAdj = -2;
        character->StatCost = Currency::fromDouble(15.5);
        addItem(ListSkills, u"name(Karate), nameext(Kick), level(12)");
        addItem(ListSkills, u"name(Stealth), level(14)");
        addItem(ListSpells, u"name(Light), level(11)");
        engine.addObject(u"Char", characterObject(character), true);
    }

    void addItem(int16_t list, const char16_t* line)
    {
        auto item = std::make_shared<clsItem>();
        item->NewTagList(line);
        character->list(list).Add(item);
    }

    // Evaluates an expression and gives its text, or "error N".
    std::string eval(const char16_t* expression)
    {
        const auto v = engine.eval(expression);
        if (!v)
            return "error " + std::to_string(engine.lastError().number);
        return toUtf8(v->toText());
    }
    std::string run(const char16_t* code)
    {
        if (!engine.addCode(code))
            return "error " + std::to_string(engine.lastError().number);
        return "ok";
    }

    std::shared_ptr<KVRCharacter> character;
    script::Engine engine;
};

} // namespace

TEST_F(BindingsTest, ListsAndItems)
{
    EXPECT_EQ(eval(u"Char.Lists.Count"), "8");
    EXPECT_EQ(eval(u"Char.Lists(6).Count"), "2");
    EXPECT_EQ(eval(u"Char.Lists(6)(1).TagItem(\"level\")"), "12");
    EXPECT_EQ(eval(u"Char.Lists(6).Item(2).TagFullName"), "Stealth");
    EXPECT_EQ(eval(u"Char.Lists(6)(1).TagFullName"), "Karate (Kick)");
    EXPECT_EQ(eval(u"Lists(7)(1).TagItem(\"NAME\")"), "Light") << "members are global names";
    EXPECT_EQ(eval(u"TypeName(Char.Lists(6)(1))"), "clsItem");
    EXPECT_EQ(eval(u"Char.Lists(6)(1).IDKey > 0"), "True");
    EXPECT_EQ(eval(u"Char.Lists(9).Count"), "error 9");
    EXPECT_EQ(eval(u"Char.Lists(6)(3).Name"), "error 9");
    EXPECT_EQ(eval(u"Char.ListItemPosByNameAndExt(6, \"STEALTH\", 0)"), "2");
    EXPECT_EQ(eval(u"Char.ListItemPosByKey(6, Char.Lists(6)(2).IDKey, 1)"), "2");
}

TEST_F(BindingsTest, ForEachAndWrites)
{
    ASSERT_EQ(run(u"Dim names, item\n"
                  u"For Each item In Char.Lists(6)\n"
                  u"  names = names & item.TagItem(\"name\") & \";\"\n"
                  u"Next\n"
                  u"Char.Lists(6)(2).TagItem(\"level\") = 15\n"
                  u"Char.Lists(6)(2).TagItem(\"points\") = \"4\"\n"
                  u"Char.Name = \"Bea\"\n"
                  u"Char.PD(5) = 2\n"
                  u"Char.Race.STAdj = Char.Race.STAdj + 1\n"
                  u"Char.RefreshType(3) = -1\n"),
              "ok");
    EXPECT_EQ(eval(u"names"), "Karate;Stealth;");
    EXPECT_EQ(character->list(ListSkills).Item(2)->TagList(), u",name(Stealth),level(15),points(4)");
    EXPECT_EQ(character->Name, u"Bea");
    EXPECT_EQ(character->PD(5), u"2");
    EXPECT_EQ(character->Race->STAdj, -1);
    EXPECT_EQ(character->RefreshAds, -1);
    EXPECT_EQ(eval(u"Char.RefreshType(5)"), "-1");
}

TEST_F(BindingsTest, KindsAndErrors)
{
    EXPECT_EQ(eval(u"Char.PD(0)"), "3");
    EXPECT_EQ(eval(u"Char.PD(6)"), "error 9");
    EXPECT_EQ(eval(u"Char.Race.STAdj"), "-2");
    EXPECT_EQ(eval(u"TypeName(Char.StatCost)"), "Currency");
    EXPECT_EQ(eval(u"Char.StatCost * 2"), "31");
    EXPECT_EQ(eval(u"TypeName(Char.InPlay)"), "Integer");
    EXPECT_EQ(eval(u"TypeName(Char.Race.STCost)"), "Long");
    EXPECT_EQ(run(u"Char.InPlay = 40000"), "error 6");
    EXPECT_EQ(run(u"Char.NoSuchThing = 1"), "error 438");
    EXPECT_EQ(eval(u"Char.Race.Name"), "Human");
    EXPECT_EQ(run(u"Char.Race.InitializeData"), "ok");
}

TEST_F(BindingsTest, ItemsOutliveTheCharacter)
{
    ASSERT_EQ(run(u"Dim kept\nSet kept = Char.Lists(7)(1)\n"), "ok");
    character->Lists = std::make_shared<KeyedList<ItemList>>();
    EXPECT_EQ(eval(u"kept.TagItem(\"name\")"), "Light");
}

TEST_F(BindingsTest, EachKindOfRecordObjectKeepsItsOwnTypeAndWalking)
{
    EXPECT_EQ(eval(u"TypeName(Char) & TypeName(Char.Race) & TypeName(Char.Lists) & TypeName(Char.Lists(6)(1))"),
              "KVRCharacterclsRaceCollectionclsItem");
    // Only the two kinds of list walk with For Each.
    ASSERT_EQ(run(u"Dim n, l, x\nFor Each l In Char.Lists\n n = n + 1\nNext\n"), "ok");
    EXPECT_EQ(eval(u"n"), "8");
    EXPECT_EQ(run(u"For Each x In Char.Race\nNext\n"), "error 451");
    EXPECT_EQ(run(u"For Each x In Char.Lists(6)(1)\nNext\n"), "error 451");
    // A record goes only where its own kind is expected.
    EXPECT_EQ(run(u"Set Char.Race = Char.Lists(6)(1)"), "error 13");
    EXPECT_EQ(run(u"Set Char.Race = Nothing"), "error 13");
    EXPECT_EQ(run(u"Char.Lists(6).Add Char.Race"), "error 13");
    EXPECT_EQ(run(u"Set Char.Lists = Char.Lists(6)"), "error 13");
    ASSERT_EQ(run(u"Char.Lists(6).Add Char.Lists(7)(1)"), "ok");
    EXPECT_EQ(eval(u"Char.Lists(6)(3).TagItem(\"name\")"), "Light");
    auto race = std::make_shared<clsRace>();
    race->Name = u"Elf";
    engine.addObject(u"Other", raceObject(race), false);
    ASSERT_EQ(run(u"Set Char.Race = Other"), "ok");
    EXPECT_EQ(character->Race, race);
}
