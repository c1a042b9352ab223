#include "script/lib/readable_folders.h"

#include "common/vb_error.h"
#include "script/lib/path_text.h"

#include <filesystem>

namespace quillet::script {

namespace {

namespace fs = std::filesystem;

// The real path of an absolute path without "." or ".." steps: its links
// resolved for the part that exists (the rest cannot be followed anyway).
// Empty when the system cannot tell.
std::string realPathOf(const std::string& native)
{
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(fs::path(native), ec);
    if (ec)
        return std::string();
    std::string out = real.string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// A relative folder, from the host, is taken from the process's current
// folder.
Text absoluteFolder(const Text& folder)
{
    if (!folder.empty() && isPathSeparator(folder[0]))
        return folder;
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    return absolutePath(folder, ec ? Text(u"/") : fromUtf8(current.string()));
}

} // namespace

ReadableFolders::ReadableFolders(const std::vector<Text>& folders, Text currentFolder)
    : currentFolder_(absoluteFolder(currentFolder))
{
    for (const Text& folder : folders) {
        if (folder.empty() || folder.find(u'\0') != Text::npos)
            continue;
        std::string real = realPathOf(toUtf8(absolutePath(folder, currentFolder_)));
        if (!real.empty())
            folders_.push_back(std::move(real));
    }
}

std::string ReadableFolders::resolve(TextView path) const
{
    if (path.find(u'\0') != TextView::npos)
        throw VbError(vberr::BadFileName);
    std::optional<std::string> real = tryResolve(path);
    if (!real)
        throw VbError(vberr::PermissionDenied);
    return std::move(*real);
}

std::optional<std::string> ReadableFolders::tryResolve(TextView path) const
{
    if (path.find(u'\0') != TextView::npos)
        return std::nullopt;
    std::string real = realPathOf(toUtf8(absolutePath(path, currentFolder_)));
    if (real.empty() || !contains(real))
        return std::nullopt;
    return real;
}

bool ReadableFolders::contains(const std::string& realPath) const
{
    for (const std::string& folder : folders_) {
        if (realPath == folder)
            return true;
        if (folder == "/")
            return realPath.starts_with('/');
        if (realPath.size() > folder.size() && realPath.starts_with(folder) && realPath[folder.size()] == '/')
            return true;
    }
    return false;
}

} // namespace quillet::script
