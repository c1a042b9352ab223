#include "settings/settings_file.h"

#include "common/settings_folder.h"

#include "settings/single_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using testing::TempFolder;

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest()
    {
        state.HomePath = folder.home();
        state.SetDefaults();
    }
    void readAll(AppState& into) { SettingsFile(into, ini).readAtStartUp(); }
    bool writeAll() { return settings.writeAtClose(); }
    AppState freshState() const
    {
        AppState fresh;
        fresh.HomePath = folder.home();
        fresh.SetDefaults();
        return fresh;
    }

    TempFolder folder;
    AppState state;
    std::vector<MessageBoxRequest> messages;
    modINI ini{[this](const MessageBoxRequest& m) { messages.push_back(m); }};
    SettingsFile settings{state, ini};
};

TEST_F(SettingsFileTest, WithoutAFileTheDefaultsStayAndTheRecentListIsEmpty)
{
    state.MRUFiles[1] = u"/left/over.kvr";
    int menuBuilds = 0;
    settings.BuildMRUMenu = [&] {
        ++menuBuilds;
        EXPECT_EQ(state.MRUFiles[1], u""); // the list is read before the menu is built
    };
    settings.readAtStartUp();

    EXPECT_EQ(menuBuilds, 1);
    const AppState defaults = freshState();
    EXPECT_EQ(state.PrinterFont, u"Arial");
    EXPECT_EQ(state.TesseraFile, folder.home() + u"chrsht.tsx");
    EXPECT_EQ(state.TesseraDir, defaults.TesseraDir);
    EXPECT_EQ(state.CharDir, defaults.CharDir);
    EXPECT_EQ(state.Debug, kFalse);
    EXPECT_EQ(state.LogLeft, 960.0f);
    EXPECT_EQ(state.LogHeight, 3225.0f);
    for (const Text& entry : state.MRUFiles)
        EXPECT_EQ(entry, u"");
    EXPECT_FALSE(folder.exists("quillet32.ini"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SettingsFileTest, WritingCreatesEverySectionAndKeyAndReadsBackTheSame)
{
    ASSERT_TRUE(writeAll());
    const std::string home = toUtf8(folder.home());
    EXPECT_EQ(folder.read("quillet32.ini"), "[Options]\r\n"
                                            "Debug=0\r\n"
                                            "EchoToRun=0\r\n"
                                            "LinesToLog=0\r\n"
                                            "NoLogo=0\r\n"
                                            "PrinterFont=Arial\r\n"
                                            "TesseraFile=" + home + "chrsht.tsx\r\n"
                                            "\r\n"
                                            "[Paths]\r\n"
                                            "TesseraDir=" + home + "\r\n"
                                            "CharDir=" + home + "\r\n"
                                            "\r\n"
                                            "[MRUFileList]\r\n"
                                            "MRUFile1=\r\n"
                                            "MRUFile2=\r\n"
                                            "MRUFile3=\r\n"
                                            "MRUFile4=\r\n"
                                            "\r\n"
                                            "[Windows]\r\n"
                                            "LogLeft=960\r\n"
                                            "LogTop=4515\r\n"
                                            "LogWidth=7485\r\n"
                                            "LogHeight=3225\r\n");

    state.Debug = kTrue;
    state.NoLogo = kTrue;
    state.PrinterFont = u"";
    state.TesseraFile = u"/sheets/Grüne Blätter.tsx";
    state.CharDir = u"/chars/";
    state.MRUFiles = {u"", u"/chars/b.kvr", u"/chars/a b.kvr", u"", u"/chars/ünï.chr"};
    state.LogLeft = 1200.5f;
    state.LogTop = -15;
    state.LogWidth = 0.25f;
    state.LogHeight = 123456.78f;
    ASSERT_TRUE(writeAll());

    AppState back = freshState();
    readAll(back);
    EXPECT_EQ(back.Debug, kTrue);
    EXPECT_EQ(back.EchoToRun, kFalse);
    EXPECT_EQ(back.NoLogo, kTrue);
    EXPECT_EQ(back.PrinterFont, u"");
    EXPECT_EQ(back.TesseraFile, state.TesseraFile);
    EXPECT_EQ(back.TesseraDir, state.TesseraDir);
    EXPECT_EQ(back.CharDir, u"/chars/");
    EXPECT_EQ(back.MRUFiles, state.MRUFiles);
    EXPECT_EQ(back.LogLeft, 1200.5f);
    EXPECT_EQ(back.LogTop, -15.0f);
    EXPECT_EQ(back.LogWidth, 0.25f);
    EXPECT_EQ(back.LogHeight, 123456.8f); // seven significant digits
}

TEST_F(SettingsFileTest, AHandEditedFileKeepsWhatTheProgramDoesNotOwn)
{
    folder.write("quillet32.ini", "; my settings, do not lose this\n"
                                  "[Printer]\n"
                                  "Tray=2\n"
                                  "\n"
                                  "[options]\n"
                                  "  debug = -1 ; on\n"
                                  "Theme=dark\n"
                                  "\n"
                                  "; recent files below\n"
                                  "[MRUFileList]\n"
                                  "MRUFile1=/x/one.kvr\n");
    readAll(state);
    EXPECT_EQ(state.Debug, kTrue); // "; on" is part of the value, after its leading number
    EXPECT_EQ(state.MRUFiles[1], u"/x/one.kvr");
    state.MRUFiles[2] = u"/x/two.kvr";
    ASSERT_TRUE(writeAll());

    const std::string written = folder.read("quillet32.ini");
    const std::string expectedStart = "; my settings, do not lose this\r\n"
                                      "[Printer]\r\n"
                                      "Tray=2\r\n"
                                      "\r\n"
                                      "[options]\r\n"
                                      "debug=-1\r\n"
                                      "Theme=dark\r\n"
                                      "EchoToRun=0\r\n";
    EXPECT_EQ(written.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(written.find("\r\n\r\n; recent files below\r\n[MRUFileList]\r\nMRUFile1=/x/one.kvr\r\n"
                           "MRUFile2=/x/two.kvr\r\n"),
              std::string::npos);
    EXPECT_NE(written.find("[Windows]\r\nLogLeft=960\r\n"), std::string::npos);

    AppState back = freshState();
    readAll(back);
    EXPECT_EQ(back.Debug, kTrue);
    EXPECT_EQ(back.MRUFiles[2], u"/x/two.kvr");
}

TEST_F(SettingsFileTest, EmptyValuesReplaceButAbsentKeysKeep)
{
    folder.write("quillet32.ini", "[Options]\nPrinterFont=\nTesseraFile=\n[MRUFileList]\nMRUFile2=/b.kvr\n");
    state.MRUFiles = {u"", u"/old1.kvr", u"/old2.kvr", u"/old3.kvr", u""};
    readAll(state);
    EXPECT_EQ(state.PrinterFont, u"");
    EXPECT_EQ(state.TesseraFile, u"");
    EXPECT_EQ(state.TesseraDir, folder.home());
    EXPECT_EQ(state.MRUFiles[1], u"");
    EXPECT_EQ(state.MRUFiles[2], u"/b.kvr");
    EXPECT_EQ(state.MRUFiles[3], u"");
}

TEST_F(SettingsFileTest, FlagsKeepTheirNumberNarrowedTo16Bits)
{
    folder.write("quillet32.ini",
                 "[Options]\nDebug=1\nEchoToRun=70000\nLinesToLog=-99999999999\nNoLogo=yes\n");
    state.NoLogo = kTrue;
    readAll(state);
    EXPECT_EQ(state.Debug, 1);
    EXPECT_EQ(state.EchoToRun, 32767);
    EXPECT_EQ(state.LinesToLog, -32768);
    EXPECT_EQ(state.NoLogo, 0);

    // Written back as held: a hand-typed 1 does not become -1.
    ASSERT_TRUE(writeAll());
    EXPECT_NE(folder.read("quillet32.ini").find("Debug=1\r\nEchoToRun=32767\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, MeasuresAreReadByTheirLeadingNumber)
{
    folder.write("quillet32.ini",
                 "[Windows]\nLogLeft=1200.5\nLogTop=abc\nLogWidth= 7000 twips\nLogHeight=1E400\n");
    readAll(state);
    EXPECT_EQ(state.LogLeft, 1200.5f);
    EXPECT_EQ(state.LogTop, 0.0f);
    EXPECT_EQ(state.LogWidth, 7000.0f);
    EXPECT_EQ(state.LogHeight, 3225.0f); // beyond any number: the current value stays

    folder.write("quillet32.ini", "[Windows]\nLogHeight=1E39\nLogWidth=-2.5E3\n");
    readAll(state);
    EXPECT_EQ(state.LogHeight, 3225.0f); // beyond a single: likewise
    EXPECT_EQ(state.LogWidth, 0.0f);     // a size is never negative
}

TEST_F(SettingsFileTest, MeasuresNoScreenCouldShowAreBroughtWithinReach)
{
    // A window millions of pixels wide would take gigabytes to draw.
    folder.write("quillet32.ini",
                 "[Windows]\nLogLeft=-1e9\nLogTop=2147483648\nLogWidth=2147483648\nLogHeight=1e8\n");
    readAll(state);
    EXPECT_EQ(state.LogLeft, -kMaxWindowMeasure);
    EXPECT_EQ(state.LogTop, kMaxWindowMeasure);
    EXPECT_EQ(state.LogWidth, kMaxWindowMeasure);
    EXPECT_EQ(state.LogHeight, kMaxWindowMeasure);
    // And they are written back as read.
    ASSERT_TRUE(writeAll());
    EXPECT_NE(folder.read("quillet32.ini").find("LogWidth=300000\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, AUnicodeFileFromAWindowsEditorIsReadAndWrittenBackAsUtf8)
{
    const std::u16string text = u"[Options]\r\nPrinterFont=Garamond \u00C9l\u00E9gant\r\n[Paths]\r\n"
                                u"CharDir=/home/zo\u00EB/characters/\r\n";
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t c : text) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        folder.write("quillet32.ini", bytes);
        AppState read = freshState();
        readAll(read);
        EXPECT_EQ(read.PrinterFont, u"Garamond \u00C9l\u00E9gant") << bigEndian;
        EXPECT_EQ(read.CharDir, u"/home/zo\u00EB/characters/");

        state.PrinterFont = read.PrinterFont;
        state.CharDir = read.CharDir;
        ASSERT_TRUE(writeAll());
        const std::string written = folder.read("quillet32.ini");
        EXPECT_TRUE(isValidUtf8(written)) << "one encoding throughout";
        EXPECT_NE(written.find("PrinterFont=Garamond \xC3\x89l\xC3\xA9gant\r\n"), std::string::npos);
        EXPECT_NE(written.find("CharDir=/home/zo\xC3\xAB/characters/\r\n"), std::string::npos);
    }
}

TEST(SingleText, WritesSevenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(singleText(960), u"960");
    EXPECT_EQ(singleText(1200.5f), u"1200.5");
    EXPECT_EQ(singleText(0), u"0");
    EXPECT_EQ(singleText(-0.0f), u"0");
    EXPECT_EQ(singleText(-15), u"-15");
    EXPECT_EQ(singleText(0.1f), u"0.1");
    EXPECT_EQ(singleText(1.0f / 3), u"0.3333333");
    EXPECT_EQ(singleText(9999999), u"9999999");
    EXPECT_EQ(singleText(12345678), u"1.234568E+07");
    EXPECT_EQ(singleText(1e7f), u"1E+07");
    EXPECT_EQ(singleText(0.0001f), u"0.0001");
    EXPECT_EQ(singleText(1.5e-9f), u"1.5E-09");
    EXPECT_EQ(singleText(-3e38f), u"-3E+38");
    EXPECT_EQ(singleText(std::numeric_limits<float>::infinity()), u"0");
}

TEST_F(SettingsFileTest, AnUnwritableFileLeavesTheSettingsUnsavedWithoutAMessage)
{
    const std::string original = "[Options]\r\nDebug=-1\r\n";
    folder.write("quillet32.ini", original);
    ::chmod(folder.file("quillet32.ini").c_str(), 0444);
    state.Debug = kFalse;
    EXPECT_FALSE(writeAll());
    EXPECT_EQ(folder.read("quillet32.ini"), original);

    state.HomePath = folder.home() + u"missing/";
    EXPECT_FALSE(writeAll());
    EXPECT_FALSE(folder.exists("missing"));
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace quillet

namespace quillet {
namespace {

// An installed program: the settings live in the user's folder, and the
// program folder's file (settings that came with the program) is read
// only while the user has none of their own.
TEST_F(SettingsFileTest, ASeparateSettingsFolderIsWrittenAndReadFirst)
{
    TempFolder own;
    state.SettingsFolder = own.home();
    folder.write("quillet32.ini", "[Options]\r\nDebug=-1\r\nPrinterFont=Bundled\r\n");
    AppState installed = freshState();
    installed.SettingsFolder = own.home();
    readAll(installed);
    EXPECT_EQ(installed.PrinterFont, u"Bundled");
    EXPECT_EQ(installed.Debug, kTrue);

    installed.PrinterFont = u"Mine";
    ASSERT_TRUE(SettingsFile(installed, ini).writeAtClose());
    EXPECT_NE(own.read("quillet32.ini").find("PrinterFont=Mine"), std::string::npos);
    EXPECT_EQ(folder.read("quillet32.ini"), "[Options]\r\nDebug=-1\r\nPrinterFont=Bundled\r\n") << "left alone";

    AppState again = freshState();
    again.SettingsFolder = own.home();
    readAll(again);
    EXPECT_EQ(again.PrinterFont, u"Mine");
}

TEST_F(SettingsFileTest, AProgramFolderTheUserCannotWriteSendsTheSettingsToTheirFolder)
{
    ::chmod(folder.path().c_str(), 0555);
    const std::optional<bool> elsewhere = testing::runUnprivileged([&] {
        return settingsFolderFor(folder.home()) != folder.home();
    });
    ::chmod(folder.path().c_str(), 0700);
    if (!elsewhere)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_TRUE(*elsewhere);
    EXPECT_EQ(settingsFolderFor(folder.home()), folder.home()) << "writable: beside the program";
}

TEST_F(SettingsFileTest, LiveRefreshIsStoredOnceSwitchedOffAndThenKeptUpToDate)
{
    ASSERT_TRUE(writeAll());
    EXPECT_EQ(folder.read("quillet32.ini").find("PreviewLiveRefresh"), std::string::npos) << "never switched off";

    state.LiveRefresh = kFalse;
    ASSERT_TRUE(writeAll());
    AppState off = freshState();
    readAll(off);
    EXPECT_EQ(off.LiveRefresh, kFalse);

    state.LiveRefresh = kTrue;
    ASSERT_TRUE(writeAll());
    AppState on = freshState();
    on.LiveRefresh = kFalse;
    readAll(on);
    EXPECT_EQ(on.LiveRefresh, kTrue);
}

TEST_F(SettingsFileTest, WritesToAFolderThatCannotHoldFilesFail)
{
    folder.write("plain-file", "x");
    state.SettingsFolder = fromUtf8(folder.file("plain-file") + "/");
    EXPECT_FALSE(settings.writeAtClose());
    EXPECT_EQ(folder.read("plain-file"), "x");
}

} // namespace
} // namespace quillet
