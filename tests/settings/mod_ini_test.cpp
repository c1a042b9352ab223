#include "settings/mod_ini.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quillet {
namespace {

using testing::TempFolder;
using testing::runAsOtherUser;
using testing::runUnprivileged;

class ModIniTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini.messageBox = [this](const MessageBoxRequest& request) { messages.push_back(request); };
    }
    void registerOptions() { ini.IniRegister(u"Options", fromUtf8(folder.file("quillet32.ini"))); }
    std::string fileBytes() const { return folder.read("quillet32.ini"); }

    TempFolder folder;
    modINI ini;
    std::vector<MessageBoxRequest> messages;
};

TEST_F(ModIniTest, ReadsFilesHoweverTheyWereSaved)
{
    struct Case {
        const char* what;
        std::string bytes;
        TextView font;
    };
    const std::vector<Case> cases{
        {"CR LF", "[Options]\r\nDebug=-1\r\nPrinterFont=Times\r\n", u"Times"},
        {"LF only", "[Options]\nDebug=-1\nPrinterFont=Times\n", u"Times"},
        {"CR only", "[Options]\rDebug=-1\rPrinterFont=Times\r", u"Times"},
        {"byte-order mark", "\xEF\xBB\xBF[Options]\r\nDebug=-1\r\nPrinterFont=Times\r\n", u"Times"},
        {"mixed line ends", "[Options]\r\r\nDebug=-1\n\rPrinterFont=Times\r", u"Times"},
        {"no final line end", "[Options]\r\nDebug=-1\r\nPrinterFont=Times", u"Times"},
        {"blank and comment lines", "\r\n; made by hand\r\n\r\n[Options]\r\n\r\n;Debug=0\r\n  Debug = -1  \r\n\r\n"
                                    "PrinterFont=Times\r\n",
         u"Times"},
        {"duplicate keys", "[Options]\r\nDebug=-1\r\nPrinterFont=Times\r\nDebug=0\r\nPrinterFont=Courier\r\n", u"Times"},
        {"Windows-1252", "[Options]\r\nDebug=-1\r\nPrinterFont=Caf\xE9\r\n", u"Caf\u00E9"},
        {"UTF-8", "[Options]\r\nDebug=-1\r\nPrinterFont=Caf\xC3\xA9\r\n", u"Caf\u00E9"},
    };
    registerOptions();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write("quillet32.ini", c.bytes);
        EXPECT_EQ(ini.IniGetInt(u"Debug", 0), -1);
        EXPECT_EQ(ini.IniGetString(u"PrinterFont", u"Arial"), c.font);
        EXPECT_EQ(ini.IniGetString(u"Missing", u"fallback"), u"fallback");
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModIniTest, LongValuesAreCutTo254Characters)
{
    const std::string path300 = "/" + std::string(299, 'p');
    folder.write("quillet32.ini", "[Paths]\r\nCharDir=" + path300 + "\r\nEmoji=" + std::string(253, 'x') +
                                      "\xF0\x9F\x98\x80\r\n");
    ini.IniRegister(u"Paths", fromUtf8(folder.file("quillet32.ini")));
    EXPECT_EQ(ini.IniGetString(u"CharDir", u""), fromUtf8(path300.substr(0, 254)));
    // Half a surrogate pair is not left at the cut.
    EXPECT_EQ(ini.IniGetString(u"Emoji", u""), Text(253, u'x'));
    // A default is the program's own value, not something read: kept whole.
    const Text longDefault(300, u'd');
    EXPECT_EQ(ini.IniGetString(u"Absent", longDefault), longDefault);
}

TEST_F(ModIniTest, BinaryGarbageReadsWithoutCrashingAndCanBeWrittenInto)
{
    std::mt19937 random(20240601);
    registerOptions();
    for (size_t size : {1u, 17u, 300u, 5000u, 100000u}) {
        SCOPED_TRACE(size);
        std::string garbage(size, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random() & 0xFF);
        folder.write("quillet32.ini", garbage + "\n[Options]\nDebug=-1\n");
        EXPECT_EQ(ini.IniGetInt(u"Debug", 0), -1);
        EXPECT_LE(ini.IniGetString(u"PrinterFont", u"Arial").size(), modINI::kMaxValueLength);

        ini.IniPutInt(u"NoLogo", -1);
        EXPECT_TRUE(ini.lastWriteSucceeded());
        EXPECT_EQ(ini.IniGetInt(u"NoLogo", 0), -1);
        EXPECT_EQ(ini.IniGetInt(u"Debug", 0), -1);
    }
}

TEST(ProfileWholeNumber, ReadsTheLeadingWholeNumber)
{
    EXPECT_EQ(profileWholeNumber(u"-1"), -1);
    EXPECT_EQ(profileWholeNumber(u"0"), 0);
    EXPECT_EQ(profileWholeNumber(u" \t42abc"), 42);
    EXPECT_EQ(profileWholeNumber(u"+7"), 7);
    EXPECT_EQ(profileWholeNumber(u"1.9"), 1);
    EXPECT_EQ(profileWholeNumber(u"abc"), 0);
    EXPECT_EQ(profileWholeNumber(u""), 0);
    EXPECT_EQ(profileWholeNumber(u"- 1"), 0);
    EXPECT_EQ(profileWholeNumber(u"&HFF"), 0);
    EXPECT_EQ(profileWholeNumber(u"2147483647"), 2147483647);
    EXPECT_EQ(profileWholeNumber(u"99999999999999999999"), 2147483647);
    EXPECT_EQ(profileWholeNumber(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(profileWholeNumber(u"-99999999999999999999"), -2147483647 - 1);
}

TEST_F(ModIniTest, IntegersAbsentKeysGiveTheDefaultEmptyValuesZero)
{
    folder.write("quillet32.ini", "[Options]\nDebug=\nNoLogo=\"-1\"\n");
    registerOptions();
    EXPECT_EQ(ini.IniGetInt(u"Debug", 5), 0);
    EXPECT_EQ(ini.IniGetInt(u"NoLogo", 5), -1);
    EXPECT_EQ(ini.IniGetInt(u"EchoToRun", 5), 5);
}

TEST_F(ModIniTest, RegistrationTrimsBlanksAndIsReplacedByTheNext)
{
    folder.write("quillet32.ini", "[Options]\nDebug=-1\n[Paths]\nDebug=3\n");
    ini.IniRegister(u"  Options  ", u"  " + fromUtf8(folder.file("quillet32.ini")) + u" ");
    EXPECT_EQ(ini.section(), u"Options");
    EXPECT_EQ(ini.IniGetInt(u"Debug", 0), -1);
    ini.IniRegister(u"Paths", fromUtf8(folder.file("quillet32.ini")));
    EXPECT_EQ(ini.IniGetInt(u"Debug", 0), 3);
}

TEST_F(ModIniTest, UseBeforeRegistrationShowsTheLogicErrorAndWritesNothing)
{
    EXPECT_EQ(ini.IniGetInt(u"Debug", 7), 0);
    EXPECT_EQ(ini.IniGetString(u"Debug", u"x"), u"");
    ini.IniPutString(u"Debug", u"-1");
    ini.IniPutInt(u"Debug", -1);
    ASSERT_EQ(messages.size(), 4u);
    for (const MessageBoxRequest& m : messages) {
        EXPECT_EQ(m.text, u"[Section] and FileName Not Registered in Private.Ini!");
        EXPECT_EQ(m.title, u"IniFile Logic Error");
        EXPECT_EQ(m.icon, MessageIcon::Critical);
    }
    EXPECT_FALSE(ini.lastWriteSucceeded());
    EXPECT_EQ(folder.entryCount(), 0u);

    modINI silent; // no window system: nothing to show, nothing breaks
    EXPECT_EQ(silent.IniGetInt(u"Debug", 7), 0);
}

TEST_F(ModIniTest, WritingCreatesTheFileAsUtf8WithCrLf)
{
    registerOptions();
    ini.IniPutInt(u"Debug", -1);
    ini.IniPutString(u"PrinterFont", u"Caf\u00E9");
    EXPECT_TRUE(ini.lastWriteSucceeded());
    EXPECT_EQ(fileBytes(), "[Options]\r\nDebug=-1\r\nPrinterFont=Caf\xC3\xA9\r\n");
    EXPECT_EQ(folder.entryCount(), 1u); // no temporary file left behind
}

TEST_F(ModIniTest, WritingKeepsPermissionsAndFollowsLinks)
{
    folder.write("real.ini", "[Options]\r\nDebug=0\r\n");
    ::chmod(folder.file("real.ini").c_str(), 0640);
    ASSERT_EQ(::symlink(folder.file("real.ini").c_str(), folder.file("quillet32.ini").c_str()), 0);
    registerOptions();
    ini.IniPutInt(u"Debug", -1);
    EXPECT_TRUE(ini.lastWriteSucceeded());

    struct stat st {};
    ASSERT_EQ(::lstat(folder.file("quillet32.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(folder.file("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.read("real.ini"), "[Options]\r\nDebug=-1\r\n");
}

TEST_F(ModIniTest, AFileThatCannotBeReplacedStaysIntactWithoutAMessage)
{
    const std::string original = "[Options]\r\nDebug=0\r\n; mine\r\n";
    registerOptions();

    // Marked read-only: respected even by a privileged user.
    folder.write("quillet32.ini", original);
    ::chmod(folder.file("quillet32.ini").c_str(), 0444);
    ini.IniPutInt(u"Debug", -1);
    EXPECT_FALSE(ini.lastWriteSucceeded());
    EXPECT_EQ(fileBytes(), original);

    // Not readable: writing back would lose what we cannot see.
    ::chmod(folder.path().c_str(), 0777);
    ::chmod(folder.file("quillet32.ini").c_str(), 0200);
    const Text name = fromUtf8(folder.file("quillet32.ini"));
    auto putDebug = [&] {
        modINI other;
        other.IniRegister(u"Options", name);
        other.IniPutInt(u"Debug", -1);
        return other.lastWriteSucceeded();
    };
    // (Where no unprivileged user can be had, root reads anything: skipped.)
    if (const std::optional<bool> blindWrite = runUnprivileged(putDebug)) {
        EXPECT_FALSE(*blindWrite);
    }
    ::chmod(folder.file("quillet32.ini").c_str(), 0644);
    EXPECT_EQ(fileBytes(), original);

    // Readable but another user's, in a folder that would allow the rename.
    if (const std::optional<bool> foreignWrite = runAsOtherUser(putDebug)) {
        EXPECT_FALSE(*foreignWrite);
    }
    EXPECT_EQ(fileBytes(), original);

    EXPECT_EQ(folder.entryCount(), 1u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModIniTest, AFolderThatCannotTakeTheFileLeavesNothingBehind)
{
    const std::string original = "[Options]\r\nDebug=0\r\n";
    folder.write("quillet32.ini", original);
    ::chmod(folder.path().c_str(), 0555);
    const Text name = fromUtf8(folder.file("quillet32.ini"));
    const std::optional<bool> written = runUnprivileged([&] {
        modINI other;
        other.IniRegister(u"Options", name);
        if (other.IniGetInt(u"Debug", 5) != 0) // reading still works
            return true;
        other.IniPutInt(u"Debug", -1);
        return other.lastWriteSucceeded();
    });
    ::chmod(folder.path().c_str(), 0700);
    if (written) {
        EXPECT_FALSE(*written);
    }
    EXPECT_EQ(fileBytes(), original);
    EXPECT_EQ(folder.entryCount(), 1u);

    // A folder that does not exist, and a settings "file" that is a folder.
    ini.IniRegister(u"Options", fromUtf8(folder.file("gone/quillet32.ini")));
    ini.IniPutInt(u"Debug", -1);
    EXPECT_FALSE(ini.lastWriteSucceeded());
    ASSERT_EQ(::mkdir(folder.file("dir.ini").c_str(), 0755), 0);
    ini.IniRegister(u"Options", fromUtf8(folder.file("dir.ini")));
    EXPECT_EQ(ini.IniGetInt(u"Debug", 5), 5);
    ini.IniPutInt(u"Debug", -1);
    EXPECT_FALSE(ini.lastWriteSucceeded());
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir.ini")));
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace quillet
