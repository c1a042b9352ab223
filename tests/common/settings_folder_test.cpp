#include "common/settings_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quillet;
namespace fs = std::filesystem;

TEST(SettingsFolder, TheProgramFolderWhenWritableElseTheUsersConfigurationFolder)
{
    EXPECT_EQ(chooseSettingsFolder(u"/opt/q/", true, "/cfg", "/home/kim"), u"/opt/q/");
    EXPECT_EQ(chooseSettingsFolder(u"/usr/lib/quillet/", false, "/cfg", "/home/kim"), u"/cfg/quillet/");
    EXPECT_EQ(chooseSettingsFolder(u"/usr/lib/quillet/", false, "/cfg/", "/home/kim"), u"/cfg/quillet/");
    // Unset, empty or relative: the default under the home folder.
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/cfg"})
        EXPECT_EQ(chooseSettingsFolder(u"/usr/lib/quillet/", false, xdg, "/home/kim"), u"/home/kim/.config/quillet/");
}

TEST(SettingsFolder, TheFileSystemDecidesWhatIsWritable)
{
    char pattern[] = "/tmp/quillet-folders-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    EXPECT_EQ(settingsFolderFor(fromUtf8(root + "/")), fromUtf8(root + "/"));
    EXPECT_NE(settingsFolderFor(u"/no/such/folder/"), u"/no/such/folder/");
    if (::geteuid() != 0) { // permissions do not stop a privileged user
        fs::create_directory(root + "/locked");
        fs::permissions(root + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_NE(settingsFolderFor(fromUtf8(root + "/locked/")), fromUtf8(root + "/locked/"));
        fs::permissions(root + "/locked", fs::perms::owner_all);
    }

    EXPECT_TRUE(makeFolders(fromUtf8(root + "/a/b/quillet/")));
    EXPECT_TRUE(fs::is_directory(root + "/a/b/quillet"));
    EXPECT_TRUE(makeFolders(fromUtf8(root + "/a/b/quillet/"))) << "already there";
    std::ofstream(root + "/file") << "x";
    EXPECT_FALSE(makeFolders(fromUtf8(root + "/file/quillet/")));
    fs::remove_all(root);
}
