#include "character/portrait_path.h"

#include "common/file_system.h"

#include <dirent.h>

namespace quillet {

namespace {

// A file in `folder` whose name equals `name` without regard to case.
Text findIgnoringCase(const Text& folder, const Text& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : toUtf8(folder).c_str());
    if (!dir)
        return Text();
    Text found;
    while (const dirent* entry = ::readdir(dir)) {
        const Text candidate = fromUtf8(entry->d_name);
        if (equalsIgnoreCase(candidate, name) && FileExists(folder + candidate)) {
            found = folder + candidate;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

Text resolvePortraitPath(const Text& written, const Text& characterFile)
{
    if (written.empty())
        return written;
    const Text folder = folderOf(characterFile);
    if (written[0] != u'/') {
        const Text besideFile = folder + written;
        if (FileExists(besideFile))
            return besideFile;
    }
    if (FileExists(written))
        return written;
    const size_t cut = written.find_last_of(u"/\\");
    const Text name = cut == Text::npos ? written : written.substr(cut + 1);
    if (name.empty())
        return written;
    if (FileExists(folder + name))
        return folder + name;
    const Text caseless = findIgnoringCase(folder, name);
    return caseless.empty() ? written : caseless;
}

} // namespace quillet
