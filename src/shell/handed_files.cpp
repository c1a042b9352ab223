#include "shell/handed_files.h"

namespace quillet {

bool isSheetScriptName(const Text& path)
{
    constexpr TextView extension = u".tsx";
    if (path.size() <= extension.size())
        return false;
    const size_t start = path.size() - extension.size();
    if (path[start - 1] == u'/') // ".tsx" alone is a hidden file's name, not an extension
        return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        char16_t c = path[start + i];
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != extension[i])
            return false;
    }
    return true;
}

std::optional<HandedFiles> sortHandedFiles(const std::vector<Text>& paths)
{
    HandedFiles files;
    for (const Text& path : paths) {
        Text& slot = isSheetScriptName(path) ? files.sheet : files.character;
        if (!slot.empty())
            return std::nullopt;
        slot = path;
    }
    return files;
}

} // namespace quillet
