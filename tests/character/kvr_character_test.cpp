#include "character/kvr_character.h"
#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

std::shared_ptr<clsItem> item(const Text& line)
{
    auto i = std::make_shared<clsItem>();
    i->NewTagList(line);
    return i;
}

int errorOf(auto&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Character, NewCharacterIsEmpty)
{
    KVRCharacter c;
    EXPECT_EQ(c.Lists->Count(), 8);
    for (int16_t n = 1; n <= 8; ++n) {
        EXPECT_EQ(c.list(n).Count(), 0);
        EXPECT_EQ(c.ListItemPosByKey(n, 1, 1), 0);
    }
    EXPECT_EQ(c.Race->Name, u"Human");
    EXPECT_EQ(c.Race->HTCost, 0);
    EXPECT_EQ(c.TotalCost, Currency());
    EXPECT_EQ(c.PD(5), u"");
}

TEST(Character, ListSearches)
{
    KVRCharacter c;
    auto a = item(u"name(Karate),nameext(Kick)");
    auto b = item(u"name(Brawling)");
    auto a2 = item(u"name(karate),nameext(kick)");
    c.list(ListSkills).Add(a);
    c.list(ListSkills).Add(b);
    c.list(ListSkills).Add(a2);
    EXPECT_EQ(c.ListItemPosByKey(ListSkills, b->IDKey(), 0), 2);
    EXPECT_EQ(c.ListItemPosByKey(ListSkills, b->IDKey(), -4), 2);
    EXPECT_EQ(c.ListItemPosByKey(ListSkills, b->IDKey(), 3), 0);
    EXPECT_EQ(c.ListItemPosByKey(ListSkills, b->IDKey(), 99), 0);
    EXPECT_EQ(c.ListItemPosByNameAndExt(ListSkills, u"KARATE (KICK)", 1), 1);
    EXPECT_EQ(c.ListItemPosByNameAndExt(ListSkills, u"karate (kick)", 2), 3);
    EXPECT_EQ(c.ListItemPosByNameAndExt(ListSkills, u"karate  (kick)", 1), 0);
    EXPECT_EQ(c.ListItemPosByNameAndExt(ListSkills, u"brawling", 1), 2);
    EXPECT_EQ(errorOf([&] { c.ListItemPosByKey(9, 1, 1); }), vberr::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { c.ListItemPosByNameAndExt(0, u"x", 1); }), vberr::SubscriptOutOfRange);
}

TEST(Character, RefreshFlagsShareGroups)
{
    KVRCharacter c;
    c.setRefreshType(3, -1);
    EXPECT_EQ(c.RefreshAds, -1);
    for (int16_t n : {2, 4, 5})
        EXPECT_EQ(c.RefreshType(n), -1);
    EXPECT_EQ(c.RefreshType(1), 0);
    c.setRefreshType(6, 7);
    EXPECT_EQ(c.RefreshSkills, 7);
    c.setRefreshType(9, 5);
    EXPECT_EQ(c.RefreshType(9), 0);
    EXPECT_EQ(c.RefreshType(0), 0);
}

TEST(Character, BodyLocationsAreChecked)
{
    KVRCharacter c;
    c.setPD(5, u"2");
    c.setDR(0, u"3");
    EXPECT_EQ(c.PD(5), u"2");
    EXPECT_EQ(c.DR(0), u"3");
    EXPECT_EQ(errorOf([&] { c.PD(6); }), vberr::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { c.setDR(-1, u"x"); }), vberr::SubscriptOutOfRange);
}

TEST(Character, RaceInitializeRestoresHuman)
{
    clsRace r;
    r.Name = u"Elf";
    r.DXAdj = 1;
    r.DXCost = 10;
    r.InitializeData();
    EXPECT_EQ(r.Name, u"Human");
    EXPECT_EQ(r.DXAdj, 0);
    EXPECT_EQ(r.DXCost, 0);
}

TEST(KeyedListTest, OneBasedKeyedAndIterable)
{
    KeyedList<Text> list;
    list.Add(std::make_shared<Text>(u"a"));
    list.Add(std::make_shared<Text>(u"b"), Text(u"Key"));
    EXPECT_EQ(*list.Item(1), u"a");
    EXPECT_EQ(*list.Item(u"KEY"), u"b");
    EXPECT_EQ(errorOf([&] { list.Item(0); }), vberr::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { list.Item(3); }), vberr::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { list.Item(u"nope"); }), vberr::InvalidCall);
    EXPECT_EQ(errorOf([&] { list.Add(std::make_shared<Text>(u"c"), Text(u"key")); }), vberr::KeyAlreadyExists);
    Text joined;
    for (const auto& e : list)
        joined += *e;
    EXPECT_EQ(joined, u"ab");
    list.Remove(1);
    EXPECT_EQ(*list.Item(1), u"b");
}
