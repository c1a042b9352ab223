#include "common/file_system.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace quillet {
namespace {

TEST(FileSystem, FileExistsMeansVisibleRegularFile)
{
    char pattern[] = "/tmp/quillet-state-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::ofstream(dir + "/plain.kvr") << "x";
    std::ofstream(dir + "/.hidden.kvr") << "x";
    std::filesystem::create_directory(dir + "/folder");
    EXPECT_TRUE(FileExists(fromUtf8(dir + "/plain.kvr")));
    EXPECT_FALSE(FileExists(fromUtf8(dir + "/.hidden.kvr")));
    EXPECT_FALSE(FileExists(fromUtf8(dir + "/folder")));
    EXPECT_FALSE(FileExists(fromUtf8(dir + "/absent")));
    EXPECT_FALSE(FileExists(u"/dev/null")) << "devices are system files";
    EXPECT_FALSE(FileExists(u""));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    EXPECT_TRUE(FileExists(u"plain.kvr"));
    std::filesystem::current_path(cwd);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace quillet
