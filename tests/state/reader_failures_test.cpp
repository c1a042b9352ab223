#include "reader_fixture.h"

#include "character/character_file_error.h"
#include "common/vb_error.h"

#include <sys/stat.h>

using namespace quillet;
using namespace quillet::testing;

TEST_F(ReaderTest, OlderVersionIsRefusedWithAMessage)
{
    const Text good = writeLines("good.kvr", {"[system]", "[general]", "charname(Old)"});
    ASSERT_EQ(read(good), 0);
    const Text caption = ui.caption;
    for (const std::string first : {"[system] x", "", "\t[system]", "[general]"}) {
        ui.messages.clear();
        ASSERT_EQ(read(writeLines("old.kvr", {first, "[general]", "charname(New)"})), 0) << first;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0], u"This program will not read characters from versions of KVR prior to v2.");
        EXPECT_EQ(character().Name, u"") << "the earlier character is gone all the same";
        EXPECT_EQ(state.CurrentCharFile, good);
        EXPECT_EQ(ui.caption, caption);
        EXPECT_EQ(state.Busy, 0);
    }
}

TEST_F(ReaderTest, FilesThatCannotBeRead)
{
    EXPECT_EQ(read(fromUtf8(dir + "/absent.kvr")), vberr::FileNotFound);
    EXPECT_EQ(read(writeFile("empty.kvr", "")), vberr::InputPastEnd);
    EXPECT_EQ(character().Name, u"");
    EXPECT_EQ(read(fromUtf8(dir)), vberr::PathFileAccess) << "a folder is no character file";
    if (geteuid() != 0) {
        const Text locked = writeFile("locked.kvr", "[system]\r\n");
        chmod(toUtf8(locked).c_str(), 0);
        EXPECT_EQ(read(locked), vberr::PermissionDenied);
    }
    EXPECT_EQ(state.Busy, 0) << "a failed read does not leave the program busy";
    EXPECT_EQ(state.CurrentCharFile, u"");
}

TEST_F(ReaderTest, MalformedElementsFailAfterEarlierValues)
{
    const Text path = writeLines("bad.kvr", {"[system]", "[general]", "charname(Kept)", "[race]",
                                             "st(1), dx(2), iq, ht(4)"});
    EXPECT_EQ(read(path), vberr::InvalidCall);
    EXPECT_EQ(character().Name, u"Kept");
    EXPECT_EQ(character().Race->STAdj, 1);
    EXPECT_EQ(character().Race->DXAdj, 2);
    EXPECT_EQ(character().Race->HTAdj, 0);
    EXPECT_EQ(state.CurrentCharFile, path);
    EXPECT_EQ(state.Busy, 0);

    for (const std::string line : {"st(1),,dx(2)", "st(1),x", "x", "("}) {
        const std::vector<std::string> lines = {"[system]", "[race]", line, "name(after)"};
        EXPECT_EQ(read(writeLines("bad2.kvr", lines)), vberr::InvalidCall) << line;
    }
    EXPECT_EQ(read(writeFile("bad5.kvr", "[system]\n[race]\nst(1), dx(2),")), vberr::InvalidCall)
        << "a final comma at the end of the file leaves an empty element";
    EXPECT_EQ(read(writeLines("bad3.kvr", {"[system]", "x"})), vberr::InvalidCall)
        << "[system] elements are taken apart too";
    EXPECT_EQ(read(writeLines("bad4.kvr", {"[system]", "[general]", "charname("})), vberr::InvalidCall);
}

TEST_F(ReaderTest, NumbersTooLargeOverflow)
{
    EXPECT_EQ(read(writeLines("o1.kvr", {"[system]", "[race]", "st(40000)"})), vberr::Overflow);
    EXPECT_EQ(read(writeLines("o2.kvr", {"[system]", "[race]", "stcost(3000000000)"})), vberr::Overflow);
    EXPECT_EQ(read(writeLines("o3.kvr", {"[system]", "[points]", "total(1e300)"})), vberr::Overflow);
    EXPECT_EQ(read(writeLines("o4.kvr", {"[system]", "[race]", "stcost(2000000000)"})), 0);
}

TEST_F(ReaderTest, GarbageNeverCrashes)
{
    std::string bytes = "[system]\n";
    uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245 + 12345;
        bytes.push_back(static_cast<char>(seed >> 16));
    }
    for (const char* header : {"[skills]\n", "[race]\n", "[general]\n", "[pd/dr]\n"}) {
        const int error = read(writeFile("garbage.kvr", "[system]\n" + std::string(header) + bytes.substr(9)));
        EXPECT_TRUE(error == 0 || error == vberr::InvalidCall || error == vberr::Overflow) << error;
        EXPECT_EQ(state.Busy, 0);
    }
}

TEST_F(ReaderTest, AFailureNamesTheLinesWhereReadingStopped)
{
    // Blank lines and section headers count; an entry continued over
    // several lines names where it started and where it ended.
    const Text path = writeFile("lines.kvr", "[system]\r\n\r\n[general]\r\ncharname(Kept)\r\n[race]\r\n"
                                             "st(1),\r\n  dx(2),\r\n  oops\r\nname(after)\r\n");
    try {
        ReadCharacterFile(state, ui, path);
        FAIL() << "the read should fail";
    } catch (const CharacterFileError& e) {
        EXPECT_EQ(e.number(), vberr::InvalidCall);
        EXPECT_EQ(e.firstLine(), 6u);
        EXPECT_EQ(e.lastLine(), 8u);
        EXPECT_EQ(ReadFailureMessage(path, e), u"The character file " + path + u" could not be read.\r\n\r\n"
                                               u"Reading stopped at line 6 (continued to line 8): "
                                               u"Invalid procedure call or argument (error 5).");
    }

    try {
        ReadCharacterFile(state, ui, writeFile("empty.kvr", ""));
        FAIL() << "an empty file fails";
    } catch (const CharacterFileError& e) {
        EXPECT_EQ(e.number(), vberr::InputPastEnd);
        EXPECT_EQ(e.firstLine(), 1u);
    }

    // A file never opened has no line to name.
    const Text absent = fromUtf8(dir + "/absent.kvr");
    try {
        ReadCharacterFile(state, ui, absent);
        FAIL() << "a missing file fails";
    } catch (const VbError& e) {
        EXPECT_EQ(ReadFailureMessage(absent, e),
                  u"The character file " + absent + u" could not be read.\r\n\r\nFile not found (error 53).");
    }
}
