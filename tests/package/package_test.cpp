// The Debian package as a user gets it: built with CPack from this build,
// unpacked into a scratch root with dpkg -x, and used from there - the
// programs through their links on the PATH, the bundled sheet and sample,
// the desktop entry and the file types.
#include "../run_command.h"

#include <QFile>
#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using quillet::testing::CommandOutcome;

CommandOutcome run(const std::string& command)
{
    return quillet::testing::runCommand(command + " 2>&1");
}

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

int pdfPages(const fs::path& pdf)
{
    const std::string info = run("pdfinfo " + quoted(pdf)).out;
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/quillet-package-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        scratch = pattern;
        const CommandOutcome packed = run("cpack --config " + quoted(fs::path(QUILLET_BUILD_DIR) / "CPackConfig.cmake") +
                                          " -G DEB -B " + quoted(scratch / "out"));
        ASSERT_EQ(packed.status, 0) << packed.out;
        std::string arch = run("dpkg --print-architecture").out;
        arch.erase(arch.find_last_not_of("\n ") + 1);
        deb = scratch / "out" / ("quillet_" QUILLET_VERSION "_" + arch + ".deb");
        ASSERT_TRUE(fs::is_regular_file(deb)) << "no " << deb << " in\n" << packed.out;
        const CommandOutcome unpacked = run("dpkg -x " + quoted(deb) + " " + quoted(root()));
        ASSERT_EQ(unpacked.status, 0) << unpacked.out;
    }
    static void TearDownTestSuite() { fs::remove_all(scratch); }
    void SetUp() override
    {
        if (!fs::exists(root() / "usr"))
            GTEST_SKIP() << "the package was not built (see the first failure)";
    }

    static fs::path root() { return scratch / "root"; }
    static fs::path programFolder() { return root() / "usr/lib/quillet"; }
    static std::string field(const char* name)
    {
        std::string value = run("dpkg-deb -f " + quoted(deb) + " " + name).out;
        value.erase(value.find_last_not_of('\n') + 1);
        return value;
    }

    static inline fs::path scratch;
    static inline fs::path deb;
};

TEST_F(PackageTest, ControlFieldsNameTheRuntimeItNeeds)
{
    EXPECT_EQ(field("Package"), "quillet");
    EXPECT_EQ(field("Version"), QUILLET_VERSION);
    const std::string depends = field("Depends");
    // From the executables (dpkg-shlibdeps), and what they load at run time.
    for (const char* package : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                                "libqt6printsupport6", "libqt6svg6", "fonts-liberation2"})
        EXPECT_TRUE(has(depends, package)) << package << " not in " << depends;
    EXPECT_FALSE(field("Description").empty());
}

TEST_F(PackageTest, ProgramsOnThePathLeadIntoTheProgramFolder)
{
    for (const char* program : {"quillet", "quillet-print", "quillet-script"}) {
        const fs::path link = root() / "usr/bin" / program;
        ASSERT_TRUE(fs::is_symlink(link)) << link;
        // Relative: it holds wherever the package is unpacked.
        EXPECT_TRUE(fs::read_symlink(link).is_relative()) << fs::read_symlink(link);
        EXPECT_EQ(fs::canonical(link), fs::canonical(programFolder() / program));
    }
    // The program folder as users meet it: theirs to read, not to write, so
    // the desktop program keeps each user's settings in their own folder.
    struct stat folder {};
    ASSERT_EQ(::stat(programFolder().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0755u);
    EXPECT_FALSE(fs::exists(programFolder() / "quillet32.ini"));
    EXPECT_TRUE(fs::is_regular_file(programFolder() / "chrsht.tsx"));
    for (const char* sample : {"aldric.kvr", "aldric.png", "corwin.chr", "mira.kvr"})
        EXPECT_TRUE(fs::is_regular_file(programFolder() / "characters" / sample)) << sample;
}

TEST_F(PackageTest, InstalledQuilletPrintPrintsTheInstalledSample)
{
    // Started through its link, from elsewhere: the bundled sheet and the
    // sample are found beside the executable the link leads to, and the
    // pages go to the current directory, not to the program folder.
    const fs::path work = scratch / "work";
    fs::create_directories(work);
    const CommandOutcome printed = run("cd " + quoted(work) + " && " + quoted(root() / "usr/bin/quillet-print"));
    ASSERT_EQ(printed.status, 0) << printed.out;
    const fs::path pdf = work / "aldric.pdf";
    ASSERT_TRUE(fs::is_regular_file(pdf));
    EXPECT_FALSE(fs::exists(programFolder() / "characters/aldric.pdf"));
    // The same pages as this build's own quillet-print makes.
    const fs::path reference = scratch / "reference.pdf";
    ASSERT_EQ(run(quoted(fs::path(QUILLET_BIN_DIR) / "quillet-print") + " --output " + quoted(reference)).status, 0);
    EXPECT_GE(pdfPages(pdf), 1);
    EXPECT_EQ(pdfPages(pdf), pdfPages(reference));
    const std::string text = run("pdftotext " + quoted(pdf) + " -").out;
    EXPECT_TRUE(has(text, "Sir Aldric Venn")) << text;
    EXPECT_TRUE(has(text, "Dana Okafor")) << text;
}

TEST_F(PackageTest, InstalledProgramsStart)
{
    const fs::path script = scratch / "answer.vbs";
    std::ofstream(script) << "WScript.Echo 6 * 7\n";
    const CommandOutcome echoed = run(quoted(root() / "usr/bin/quillet-script") + " " + quoted(script));
    EXPECT_EQ(echoed.status, 0);
    EXPECT_EQ(echoed.out, "42\n");

    const CommandOutcome version = quillet::testing::runCommand(
        "QT_QPA_PLATFORM=offscreen " + quoted(root() / "usr/bin/quillet") + " --version 2>/dev/null");
    EXPECT_EQ(version.status, 0) << version.out;
    EXPECT_EQ(version.out.rfind("quillet v", 0), 0u) << version.out;
}

TEST_F(PackageTest, DesktopEntryAndFileTypesAreValid)
{
    const fs::path entry = root() / "usr/share/applications/quillet.desktop";
    const CommandOutcome valid = run("desktop-file-validate " + quoted(entry));
    EXPECT_EQ(valid.status, 0) << valid.out;
    EXPECT_EQ(valid.out, "");
    std::ifstream in(entry);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(has(text, "\nExec=quillet %f\n")) << text;
    EXPECT_TRUE(has(text, "\nMimeType=application/x-kvr-character;application/x-tessera-sheet;\n")) << text;
    EXPECT_TRUE(has(text, "\nIcon=quillet\n")) << text;
    EXPECT_TRUE(fs::is_regular_file(root() / "usr/share/icons/hicolor/scalable/apps/quillet.svg"));

    // The file types, compiled as the system compiles them, then asked the
    // way a file manager asks: by name, in either letter case, and by the
    // first line of a sheet script.
    const fs::path types = root() / "usr/share/mime/packages/quillet.xml";
    const fs::path share = scratch / "share";
    fs::create_directories(share / "mime/packages");
    fs::copy_file(types, share / "mime/packages/quillet.xml");
    ::setenv("XDG_DATA_DIRS", (share.string() + ":/usr/share").c_str(), 1);
    const CommandOutcome compiled = run("update-mime-database " + quoted(share / "mime"));
    ASSERT_EQ(compiled.status, 0) << compiled.out;
    EXPECT_EQ(compiled.out, "");

    const fs::path files = scratch / "files";
    fs::create_directories(files);
    std::ofstream(files / "HERO.KVR") << "[system]\r\n";
    std::ofstream(files / "hero.chr") << "[system]\r\n";
    std::ofstream(files / "Sheet.TSX") << "'VBScript\r\nSub main()\r\nEnd Sub\r\n";
    std::ofstream(files / "sheet.tsx") << "'VBScript\r\n";
    const QMimeDatabase database;
    auto typeOf = [&](const char* name) {
        return database.mimeTypeForFile(QString::fromStdString((files / name).string())).name().toStdString();
    };
    EXPECT_EQ(typeOf("HERO.KVR"), "application/x-kvr-character");
    EXPECT_EQ(typeOf("hero.chr"), "application/x-kvr-character");
    EXPECT_EQ(typeOf("Sheet.TSX"), "application/x-tessera-sheet");
    EXPECT_EQ(typeOf("sheet.tsx"), "application/x-tessera-sheet");
    EXPECT_TRUE(database.mimeTypeForName(QStringLiteral("application/x-kvr-character")).inherits(
        QStringLiteral("text/plain")));
}

} // namespace
