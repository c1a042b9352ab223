// Files that misbehave: character files that vanish, change, are pipes or
// enormous; settings files on a full disk, in a read-only folder or that
// are pipes; sheet scripts that are binary or unreadable.  Each ends with
// a clear error or message, quickly, and nothing the user had is lost.
#include "../settings/temp_folder.h"
#include "recording_host.h"

#include "common/vb_error.h"
#include "script/engine.h"
#include "settings/mod_ini.h"
#include "settings/settings_file.h"
#include "sheet/mod_print_report.h"
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

// Runs `step` in a child process and reports its result, or nothing when
// it has not finished within `seconds` (the child is then killed): a
// step that would hang fails the test instead of hanging it.
std::optional<bool> finishesWithin(int seconds, const std::function<bool()>& step)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(step() ? 0 : 1);
    for (int waited = 0; waited < seconds * 20; ++waited) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ::usleep(50000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return std::nullopt;
}

// The reader's window on the desktop, with a hook into the read: doEvents
// runs once per line while the file is being read.
class ReaderWindow : public ReaderUi {
public:
    void messageBox(const Text& text) override { messages.push_back(text); }
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override
    {
        if (duringRead) {
            duringRead();
            duringRead = nullptr;
        }
    }
    std::vector<Text> messages;
    std::function<void()> duringRead;
};

const char* const kCharacter = "[system]\r\n[general]\r\ncharname(Tess Arden)\r\n"
                               "[skills]\r\nname(Stealth), level(14)\r\nname(Climbing), level(12)\r\n";

// Error number of reading the file, 0 when it was read.
int readError(AppState& state, ReaderWindow& window, const std::string& path)
{
    try {
        ReadCharacterFile(state, window, fromUtf8(path));
        return 0;
    } catch (const VbError& e) {
        return e.number();
    }
}

class FileFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.HomePath = folder.home();
        state.SetDefaults();
    }

    TempFolder folder;
    AppState state;
    ReaderWindow window;
};

} // namespace

TEST_F(FileFaultTest, ACharacterFileThatVanishesOrChangesWhileReadIsReadAsItWas)
{
    folder.write("tess.kvr", kCharacter);
    window.duringRead = [&] { ::unlink(folder.file("tess.kvr").c_str()); };
    ASSERT_EQ(readError(state, window, folder.file("tess.kvr")), 0);
    EXPECT_FALSE(folder.exists("tess.kvr"));
    EXPECT_EQ(state.currentCharacter().Name, u"Tess Arden");
    EXPECT_EQ(state.currentCharacter().list(6).Count(), 2);

    folder.write("tess.kvr", kCharacter);
    window.duringRead = [&] { folder.write("tess.kvr", "[system]\r\n[general]\r\ncharname(Somebody Else)\r\n"); };
    ASSERT_EQ(readError(state, window, folder.file("tess.kvr")), 0);
    EXPECT_EQ(state.currentCharacter().Name, u"Tess Arden") << "one consistent picture of the file";
    EXPECT_EQ(state.currentCharacter().list(6).Count(), 2);

    folder.write("tess.kvr", kCharacter);
    window.duringRead = [&] { ::truncate(folder.file("tess.kvr").c_str(), 3); };
    ASSERT_EQ(readError(state, window, folder.file("tess.kvr")), 0);
    EXPECT_EQ(state.currentCharacter().list(6).Count(), 2);
    EXPECT_EQ(state.Busy, kFalse);

    EXPECT_EQ(readError(state, window, folder.file("gone.kvr")), vberr::FileNotFound);
    EXPECT_EQ(state.Busy, kFalse);
}

TEST_F(FileFaultTest, CharacterFilesThatAreNotFilesOrAreEnormous)
{
    ASSERT_EQ(::mkfifo(folder.file("pipe.kvr").c_str(), 0644), 0);
    const std::string pipe = folder.file("pipe.kvr");
    EXPECT_EQ(finishesWithin(10, [&] { return readError(state, window, pipe) == vberr::PathFileAccess; }),
              std::optional<bool>(true))
        << "a named pipe is refused at once, not waited on";

    ::mkdir(folder.file("folder.kvr").c_str(), 0755);
    EXPECT_EQ(readError(state, window, folder.file("folder.kvr")), vberr::PathFileAccess);

    // Sparse: five gigabytes that take no room on the disk.
    const std::string huge = folder.file("huge.kvr");
    folder.write("huge.kvr", "[system]\r\n");
    ASSERT_EQ(::truncate(huge.c_str(), 5LL << 30), 0);
    EXPECT_EQ(finishesWithin(10, [&] { return readError(state, window, huge) == vberr::OutOfMemory; }),
              std::optional<bool>(true));

    // A line of nothing but commas, longer than the splitter can count.
    folder.write("commas.kvr", "[system]\r\n[points]\r\n" + std::string(32767, ',') + "\r\n");
    EXPECT_EQ(readError(state, window, folder.file("commas.kvr")), vberr::Overflow);
    folder.write("commas.kvr", "[system]\r\n[skills]\r\n" + std::string(32767, ',') + "\r\n");
    EXPECT_EQ(readError(state, window, folder.file("commas.kvr")), vberr::Overflow);
    EXPECT_EQ(state.Busy, kFalse);

    // A picture chosen by mistake is an old version's file, by its first line.
    folder.write("picture.kvr", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    window.messages.clear();
    EXPECT_EQ(readError(state, window, folder.file("picture.kvr")), 0);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0], u"This program will not read characters from versions of KVR prior to v2.");
}

TEST_F(FileFaultTest, CharacterFilesAreOnlyEverOpenedForReading)
{
    folder.write("tess.kvr", kCharacter);
    const std::string path = folder.file("tess.kvr");
    ::chmod(path.c_str(), 0444);
    ::chmod(folder.path().c_str(), 0555);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    const std::optional<bool> read = runUnprivileged([&] {
        AppState other;
        other.HomePath = folder.home();
        other.SetDefaults();
        ReaderWindow ui;
        return readError(other, ui, path) == 0 && other.currentCharacter().list(6).Count() == 2;
    });
    if (!read)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_TRUE(*read) << "a read-only file in a read-only folder reads";
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
    EXPECT_EQ(folder.read("tess.kvr"), kCharacter);
    ::chmod(folder.path().c_str(), 0755);
}

TEST_F(FileFaultTest, AFullDiskWhileWritingSettingsKeepsTheOldFile)
{
    const std::string old = "[Options]\r\nDebug=0\r\nTesseraFile=/home/u/sheets/old.tsx\r\n; mine\r\n";
    folder.write("quillet32.ini", old);
    state.TesseraFile = u"/home/u/sheets/" + Text(2000, u'n') + u".tsx";

    // The child may write 64 bytes to any file: the disk is full after that.
    const std::optional<bool> wrote = finishesWithin(20, [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        modINI ini;
        SettingsFile settings(state, ini);
        return settings.writeAtClose();
    });
    ASSERT_TRUE(wrote.has_value());
    EXPECT_FALSE(*wrote) << "the failed write is reported to the caller";
    EXPECT_EQ(folder.read("quillet32.ini"), old);
    EXPECT_EQ(folder.entryCount(), 1u) << "no half-written temporary file is left behind";

    // With room again, the same write goes through and keeps the comment.
    modINI ini;
    SettingsFile settings(state, ini);
    EXPECT_TRUE(settings.writeAtClose());
    EXPECT_NE(folder.read("quillet32.ini").find("; mine"), std::string::npos);
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST_F(FileFaultTest, SettingsInAReadOnlyFolderOrAPipe)
{
    folder.write("quillet32.ini", "[Options]\r\nDebug=-1\r\n");
    ::chmod(folder.path().c_str(), 0555);
    const std::optional<bool> unprivileged = runUnprivileged([&] {
        AppState other;
        other.HomePath = folder.home();
        other.SetDefaults();
        modINI ini;
        SettingsFile settings(other, ini);
        settings.readAtStartUp();
        other.NoLogo = kTrue;
        // Read, yes; written, no - and no message about it.
        return other.Debug == kTrue && !settings.writeAtClose();
    });
    ::chmod(folder.path().c_str(), 0755);
    if (unprivileged) {
        EXPECT_TRUE(*unprivileged);
    }
    EXPECT_EQ(folder.read("quillet32.ini"), "[Options]\r\nDebug=-1\r\n");
    EXPECT_EQ(folder.entryCount(), 1u);

    ::unlink(folder.file("quillet32.ini").c_str());
    ASSERT_EQ(::mkfifo(folder.file("quillet32.ini").c_str(), 0644), 0);
    const std::optional<bool> started = finishesWithin(10, [&] {
        modINI ini;
        SettingsFile settings(state, ini);
        settings.readAtStartUp();
        return state.Debug == kFalse && !settings.writeAtClose();
    });
    EXPECT_EQ(started, std::optional<bool>(true)) << "a pipe neither holds up start-up nor gets replaced";
    struct stat st {};
    ASSERT_EQ(::stat(folder.file("quillet32.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(FileFaultTest, SheetScriptsThatAreBinaryOrUnreadable)
{
    script::Engine engine;
    RecordingHost host;
    std::vector<Text> log;
    ReportContext context{state, engine, host, [&](const Text& line) { log.push_back(line); }, {}};

    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    folder.write("chrsht.tsx", binary);
    EXPECT_EQ(PrintReport(context, false), ReportResult::NotVBScript);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(u"is not marked as a VBScript file"), Text::npos);

    // Marked, but binary after the mark: a compile error quoting its line.
    host.messages.clear();
    log.clear();
    folder.write("chrsht.tsx", "'VBScript\r\n" + binary);
    EXPECT_EQ(PrintReport(context, false), ReportResult::ScriptFailed);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].substr(0, 6), u"Error ");
    EXPECT_EQ(log[3].substr(0, 9), u"line is: ");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(state.Busy, kFalse);

    // A pipe or a folder under the sheet's name does not exist as a file.
    ::unlink(folder.file("chrsht.tsx").c_str());
    ASSERT_EQ(::mkfifo(folder.file("chrsht.tsx").c_str(), 0644), 0);
    host.messages.clear();
    EXPECT_EQ(finishesWithin(10, [&] { return PrintReport(context, false) == ReportResult::SheetMissing; }),
              std::optional<bool>(true));

    ::unlink(folder.file("chrsht.tsx").c_str());
    folder.write("chrsht.tsx", "'VBScript\r\nSub main\r\nEnd Sub\r\n");
    ::chmod(folder.file("chrsht.tsx").c_str(), 0);
    ::chmod(folder.path().c_str(), 0755);
    const std::optional<bool> refused = runUnprivileged([&] {
        host.messages.clear();
        return PrintReport(context, false) == ReportResult::SheetMissing && host.messages.size() == 1 &&
               host.messages[0] == u"The TSX file " + state.TesseraFile + u" could not be read: Permission denied";
    });
    if (refused) {
        EXPECT_TRUE(*refused) << "an unreadable sheet is named with the reason";
    }
    ::chmod(folder.file("chrsht.tsx").c_str(), 0644);
    EXPECT_EQ(PrintReport(context, false), ReportResult::Previewed) << "and once it is readable it runs";
}
