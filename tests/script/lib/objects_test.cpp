#include "builtin_harness.h"

#include "script/objects/dictionary.h"

#include <cstring>

using namespace quillet::script;
using namespace quillet::script::testing;

namespace {

std::vector<quillet::Text> enumerateTexts(const Value& object)
{
    std::vector<quillet::Text> out;
    auto e = object.rawObject()->enumerate();
    Value v;
    while (e->next(v))
        out.push_back(v.toText());
    return out;
}

} // namespace

// The common cases of Dictionary and RegExp are in the golden
// lib_dictionary.vbs and lib_regexp.vbs; these are the edges the scripts do
// not reach.
TEST(Dictionary, MembersInAnyCaseAndTheDefaultMember)
{
    Library lib;
    const Value d = lib.create(u"scripting.dictionary");
    member(d, u"Add", {S(u"a"), I(1)});
    member(d, u"add", {I(1), S(u"one")});
    EXPECT_EQ(member(d, u"Count").rawLong(), 2);
    EXPECT_EQ(member(d, u"", {S(u"a")}).rawInteger(), 1);
}

TEST(Dictionary, KeepsInsertionOrderThroughRemoveRenameAndLet)
{
    Library lib;
    const Value d = lib.create(u"Scripting.Dictionary");
    for (const char16_t* k : {u"x", u"y", u"z", u"w"})
        member(d, u"Add", {S(k), S(k)});
    member(d, u"Remove", {S(u"y")});
    member(d, u"Item", {S(u"q"), S(u"Q")}, Access::Let);
    member(d, u"Item", {S(u"x"), S(u"X")}, Access::Let);
    member(d, u"Key", {S(u"z"), S(u"zz")}, Access::Let);
    EXPECT_EQ(enumerateTexts(d), (std::vector<quillet::Text>{u"x", u"zz", u"w", u"q"}));
    const Value items = member(d, u"Items");
    EXPECT_EQ(lib.text(u"Join", {items, S(u",")}), u"X,z,w,Q");
    EXPECT_EQ(memberError(d, u"Key", {S(u"zz"), S(u"w")}, Access::Let), 457);
    EXPECT_EQ(memberError(d, u"Key", {S(u"nope"), S(u"v")}, Access::Let), 32811);
}

TEST(Dictionary, StartsInBinaryModeWhateverTheMemoryHeld)
{
    // The compare mode must be set before the index is built from it:
    // construct over storage full of set bits to expose an uninitialised read.
    alignas(Dictionary) unsigned char storage[sizeof(Dictionary)];
    std::memset(storage, 0xFF, sizeof storage);
    auto* d = new (storage) Dictionary();
    d->add(S(u"a"), I(1));
    d->add(S(u"b"), I(2));
    EXPECT_FALSE(d->exists(S(u"A")));
    d->~Dictionary();
}

TEST(Dictionary, TextCompareModeAndManyKeys)
{
    Library lib;
    const Value d = lib.create(u"Scripting.Dictionary");
    member(d, u"CompareMode", {I(1)}, Access::Let);
    member(d, u"Add", {S(u"Key"), I(1)});
    EXPECT_EQ(memberError(d, u"Add", {S(u"kEY"), I(2)}), 457);

    const Value big = lib.create(u"Scripting.Dictionary");
    for (int i = 0; i < 50000; ++i)
        member(big, u"Add", {L(i), L(i * 2)});
    for (int i = 0; i < 50000; i += 2)
        member(big, u"Remove", {L(i)});
    EXPECT_EQ(member(big, u"Count").rawLong(), 25000);
    EXPECT_EQ(member(big, u"Item", {L(49999)}).rawLong(), 99998);
    EXPECT_EQ(enumerateTexts(big).front(), u"1");
    // Renaming through growth and removals keeps every key reachable.
    for (int i = 1; i < 50000; i += 2)
        member(big, u"Key", {L(i), S(quillet::decimalText(i).c_str())}, Access::Let);
    EXPECT_EQ(member(big, u"Item", {S(u"49999")}).rawLong(), 99998);
    EXPECT_FALSE(member(big, u"Exists", {L(49999)}).rawBoolean());
    member(big, u"RemoveAll");
    member(big, u"CompareMode", {I(1)}, Access::Let); // allowed again once empty
    member(big, u"Add", {S(u"X"), I(1)});
    EXPECT_TRUE(member(big, u"Exists", {S(u"x")}).rawBoolean());
}

TEST(RegExpObject, ExecuteMatchesAndSubMatches)
{
    Library lib;
    const Value re = lib.newObject(u"RegExp");
    member(re, u"Pattern", {S(u"(\\w)(\\d)?")}, Access::Let);
    member(re, u"Global", {Value::boolean(true)}, Access::Let);
    const Value matches = member(re, u"Execute", {S(u"a1 b")});
    EXPECT_EQ(member(matches, u"Count").rawLong(), 2);
    const Value second = member(matches, u"", {I(1)});
    EXPECT_EQ(member(second, u"").toText(), u"b");
    EXPECT_EQ(member(second, u"FirstIndex").rawLong(), 3);
    EXPECT_EQ(member(second, u"Length").rawLong(), 1);
    const Value subs = member(second, u"SubMatches");
    EXPECT_EQ(member(subs, u"Count").rawLong(), 2);
    EXPECT_EQ(member(subs, u"", {I(0)}).toText(), u"b");
    EXPECT_TRUE(member(subs, u"Item", {I(1)}).isEmpty());
    EXPECT_EQ(memberError(matches, u"Item", {I(2)}), 5);
    EXPECT_EQ(enumerateTexts(matches), (std::vector<quillet::Text>{u"a1", u"b"}));
}

TEST(RegExpObject, TestReplaceAndFlags)
{
    Library lib;
    const Value re = lib.newObject(u"RegExp");
    member(re, u"Pattern", {S(u"(\\w+)@(\\w+)")}, Access::Let);
    EXPECT_TRUE(member(re, u"Test", {S(u"mail bob@host")}).rawBoolean());
    EXPECT_EQ(member(re, u"Replace", {S(u"a@b c@d"), S(u"$2 at $1")}).toText(), u"b at a c@d");
    member(re, u"Global", {Value::boolean(true)}, Access::Let);
    EXPECT_EQ(member(re, u"Replace", {S(u"a@b c@d"), S(u"[$&]")}).toText(), u"[a@b] [c@d]");
    member(re, u"Pattern", {S(u"^x")}, Access::Let);
    member(re, u"Multiline", {Value::boolean(true)}, Access::Let);
    member(re, u"IgnoreCase", {Value::boolean(true)}, Access::Let);
    EXPECT_EQ(member(member(re, u"Execute", {S(u"X\nx")}), u"Count").rawLong(), 2);
    member(re, u"Pattern", {S(u"(a")}, Access::Let);
    EXPECT_EQ(memberError(re, u"Test", {Value::null()}), 94);
}

TEST(RegExpObject, CatastrophicPatternEndsWithAnError)
{
    Library lib;
    const Value re = lib.newObject(u"RegExp");
    member(re, u"Pattern", {S(u"^(a+)+$")}, Access::Let);
    const Value text = Value::string(quillet::Text(40, u'a') + u"!");
    EXPECT_EQ(memberError(re, u"Test", {text}), 28);
}
