// Objects that refer to each other are never freed by reference counting:
// the end of a session (reset, or the engine's destruction) runs their
// Class_Terminate and empties them, so that nothing a run made outlives it.
// Seen through the engine's count of live objects and through probes, host
// objects that count themselves, placed inside the cycles.
#include "script/engine.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillet::script {
namespace {

struct ProbeLog {
    int alive = 0;
    Text notes;
};

class Probe : public HostObject {
public:
    explicit Probe(ProbeLog& log) : log_(log) { ++log_.alive; }
    ~Probe() override { --log_.alive; }
    Text typeName() const override { return u"Probe"; }
    int findMember(TextView) const override { return kNoMember; }
    Value invoke(int, Access, std::span<Value>) override { throw VbError(vberr::NoSuchMember); }

private:
    ProbeLog& log_;
};

// "Probes.Make" returns a new probe; "Probes.Note text" adds to the notes.
Value makeProbes(ProbeLog& log)
{
    auto make = [&log](std::span<Value>) { return makeObject<Probe>(log); };
    auto note = [&log](std::span<Value> args) {
        log.notes += args[0].deref().toText();
        return Value();
    };
    return testing::makeMethodsHost(u"Probes", {{u"Make", make}, {u"Note", note}});
}

// Every kind of cycle: two objects, a parent whose children point back
// (through a dictionary and through an array), a dictionary holding itself,
// an object whose array field holds itself.  Each holds a probe, and each
// class notes its Class_Terminate.
constexpr char16_t kCycles[] =
    u"Class Node\n"
    u"  Public Other, Parent, Children, Items, Probe, Name\n"
    u"  Sub Class_Initialize\n"
    u"    Set Probe = Probes.Make\n"
    u"  End Sub\n"
    u"  Sub Class_Terminate\n"
    u"    Probes.Note \"~\" & Name\n"
    u"  End Sub\n"
    u"End Class\n"
    u"Function Node(name)\n"
    u"  Set Node = New Node\n"
    u"  Node.Name = name\n"
    u"End Function\n"
    u"Sub MakeCycles\n"
    u"  Dim a, b, p, c, d, s\n"
    u"  Set a = Node(\"a\") : Set b = Node(\"b\")\n"
    u"  Set a.Other = b : Set b.Other = a\n"
    u"  Set p = Node(\"p\") : Set p.Children = CreateObject(\"Scripting.Dictionary\")\n"
    u"  For i = 1 To 3\n"
    u"    Set c = Node(\"c\" & i) : Set c.Parent = p : p.Children.Add i, c\n"
    u"  Next\n"
    u"  p.Items = Array(p, Node(\"x\"))\n"
    u"  Set d = CreateObject(\"Scripting.Dictionary\")\n"
    u"  d.Add \"me\", d : d.Add \"probe\", Probes.Make\n"
    u"  Set s = Node(\"s\") : s.Items = Array(1, Array(s))\n"
    u"End Sub\n";

// Objects that MakeCycles leaves behind: a, b, p, c1..c3, x, s and two
// dictionaries.
constexpr size_t kLeftInCycles = 10;

class ObjectCycles : public ::testing::Test {
protected:
    std::unique_ptr<Engine> engineWithCycles()
    {
        auto engine = std::make_unique<Engine>();
        engine->addObject(u"Probes", makeProbes(log), false);
        EXPECT_TRUE(engine->addCode(kCycles)) << toUtf8(engine->lastError().description);
        EXPECT_TRUE(engine->run(u"MakeCycles")) << toUtf8(engine->lastError().description);
        return engine;
    }

    ProbeLog log;
};

TEST_F(ObjectCycles, CyclesOutliveTheirLastNameButNotTheSession)
{
    auto engine = engineWithCycles();
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(kLeftInCycles, engine->liveObjects()) << "no name reaches them, the cycles hold them";
        EXPECT_EQ(9, log.alive);
        EXPECT_EQ(u"", log.notes);
        engine->reset();
        EXPECT_EQ(0, log.alive) << "everything the run made is freed";
        EXPECT_EQ(0u, engine->liveObjects());
        // Every terminator ran, in the order the objects were made.
        EXPECT_EQ(u"~a~b~p~c1~c2~c3~x~s", log.notes);
        log.notes.clear();
        engine->addObject(u"Probes", makeProbes(log), false);
        ASSERT_TRUE(engine->addCode(kCycles));
        ASSERT_TRUE(engine->run(u"MakeCycles"));
    }
    // Destroying the engine does the same.
    engine.reset();
    EXPECT_EQ(0, log.alive);
    EXPECT_EQ(u"~a~b~p~c1~c2~c3~x~s", log.notes);
}

// An object the host still holds stays valid after the reset, emptied: what
// it held is freed unless held elsewhere, and using it as a script object
// is an error rather than a crash.
TEST_F(ObjectCycles, WhatTheHostHoldsIsEmptiedNotFreed)
{
    auto engine = engineWithCycles();
    ASSERT_TRUE(engine->addCode(u"Function Pair\n"
                                u"  Set Pair = Node(\"k\") : Set Pair.Other = Node(\"l\") : Set Pair.Other.Other = Pair\n"
                                u"End Function\n"
                                u"Function SelfHolder\n"
                                u"  Set SelfHolder = CreateObject(\"Scripting.Dictionary\")\n"
                                u"  SelfHolder.Add 1, SelfHolder : SelfHolder.Add 2, Node(\"m\")\n"
                                u"End Function\n"));
    Value pair = *engine->run(u"Pair");
    Value dictionary = *engine->run(u"SelfHolder");
    EXPECT_EQ(kLeftInCycles + 4, engine->liveObjects());
    engine->reset();
    EXPECT_EQ(0, log.alive) << "the probes of k, l and m went with them";
    EXPECT_EQ(u"~a~b~p~c1~c2~c3~x~s~k~l~m", log.notes) << "held by the host or not, they were told";

    ASSERT_TRUE(pair.isObject());
    EXPECT_EQ(u"Node", pair.typeName());
    HostObject& node = *pair.rawObject();
    EXPECT_THROW(node.invoke(node.findMember(u"Other"), Access::Get, {}), VbError);
    HostObject& dict = *dictionary.rawObject();
    EXPECT_EQ(0, dict.invoke(dict.findMember(u"Count"), Access::Get, {}).toInt32());
    Value entry[] = {Value::integer(1), Value::string(u"still works")};
    dict.invoke(dict.findMember(u"Add"), Access::Get, entry);
    EXPECT_EQ(1, dict.invoke(dict.findMember(u"Count"), Access::Get, {}).toInt32());
    // Nothing of it counts in the new session.
    EXPECT_EQ(0u, engine->liveObjects());
}

TEST_F(ObjectCycles, TheCountFollowsObjectsWithinASession)
{
    auto engine = engineWithCycles();
    ASSERT_TRUE(engine->addCode(u"Set t = Node(\"t\") : Set u = CreateObject(\"Scripting.Dictionary\")"));
    EXPECT_EQ(kLeftInCycles + 2, engine->liveObjects());
    ASSERT_TRUE(engine->addCode(u"Set t = Nothing : Set u = Nothing"));
    EXPECT_EQ(kLeftInCycles, engine->liveObjects());
    EXPECT_EQ(u"~t", log.notes);
}

} // namespace
} // namespace quillet::script
