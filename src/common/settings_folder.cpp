#include "common/settings_folder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

bool isFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const char* homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_dir : nullptr;
}

} // namespace

Text chooseSettingsFolder(const Text& programFolder, bool programFolderWritable, const char* xdgConfigHome,
                          const char* home)
{
    if (programFolderWritable)
        return programFolder;
    std::string base;
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else
        base = std::string(home && *home ? home : "") + "/.config";
    if (base.back() != '/')
        base += '/';
    return fromUtf8(base + "quillet/");
}

Text settingsFolderFor(const Text& programFolder)
{
    const std::string native = toUtf8(programFolder);
    const bool writable = isFolder(native) && ::access(native.c_str(), W_OK | X_OK) == 0;
    return chooseSettingsFolder(programFolder, writable, std::getenv("XDG_CONFIG_HOME"), homeFolder());
}

bool makeFolders(const Text& folder)
{
    const std::string native = toUtf8(folder);
    for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1)) {
        const std::string step = native.substr(0, slash);
        if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return isFolder(native);
}

} // namespace quillet
