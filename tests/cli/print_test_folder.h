// What the quillet-print tests share: a folder of their own for the files
// they write, the command run with its output, and the PDFs read back with
// the poppler tools.
#pragma once

#include "../run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

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

class PrintTestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("quillet-print-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string file(const std::string& name, const std::string& content)
    {
        const std::filesystem::path path = dir / name;
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
