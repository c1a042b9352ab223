#include "common/program_folder.h"

#include <filesystem>
#include <system_error>

namespace quillet {

Text programFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fromAscii("./");
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return fromUtf8(folder);
}

} // namespace quillet
