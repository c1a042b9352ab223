#include "reader_fixture.h"

#include "common/vb_error.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quillet::testing {

void ReaderTest::SetUp()
{
    char pattern[] = "/tmp/quillet-reader-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    state.HomePath = fromUtf8(dir + "/");
    state.SetDefaults();
}

void ReaderTest::TearDown()
{
    std::filesystem::remove_all(dir);
}

Text ReaderTest::writeFile(const std::string& name, const std::string& bytes)
{
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return fromUtf8(path);
}

Text ReaderTest::writeLines(const std::string& name, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& l : lines)
        bytes += l + "\r\n";
    return writeFile(name, bytes);
}

int ReaderTest::read(const Text& path)
{
    try {
        ReadCharacterFile(state, ui, path);
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace quillet::testing
