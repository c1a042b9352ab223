// What the quillet-print tests share: a folder of their own for the files
// they write, the command run with its output, and the PDFs read back with
// the poppler tools.
#pragma once

#include "../run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace quillet::testing {

// Standard output and standard error together.
inline CommandOutcome runWithErrors(const std::string& command)
{
    return runCommand(command + " 2>&1");
}

inline const std::string& quilletPrint()
{
    static const std::string path = std::string(QUILLET_BIN_DIR) + "/quillet-print";
    return path;
}

inline CommandOutcome print(const std::string& args)
{
    return runWithErrors(quilletPrint() + " " + args);
}

inline bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Each of `parts` appears in `text`.
inline void expectParts(const std::string& text, const std::vector<std::string>& parts)
{
    for (const std::string& part : parts)
        EXPECT_TRUE(has(text, part)) << "no \"" << part << "\" in:\n" << text;
}

inline std::string contentOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class PrintTestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("quillet-print-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    // Folders a test made read-only are opened up again first.
    void TearDown() override
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(dir, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    std::string file(const std::string& name, const std::string& content)
    {
        const std::filesystem::path path = dir / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string pdfText(const std::string& pdf, int page = 0)
    {
        const std::string pages = page ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
        return runWithErrors("pdftotext -layout" + pages + " " + pdf + " -").out;
    }
    int pageCount(const std::string& pdf)
    {
        const std::string info = runWithErrors("pdfinfo " + pdf).out;
        const size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
    }

    std::filesystem::path dir;
};

} // namespace quillet::testing
