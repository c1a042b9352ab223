#include "script/lib/path_text.h"

#include <vector>

namespace quillet::script {

namespace {

// The path without trailing separators, keeping a lone root.
TextView withoutTrailingSeparators(TextView path)
{
    size_t end = path.size();
    while (end > 1 && isPathSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

// Where the last component of `trimmed` (no trailing separators) starts.
size_t lastComponentStart(TextView trimmed)
{
    size_t at = trimmed.size();
    while (at > 0 && !isPathSeparator(trimmed[at - 1]))
        --at;
    return at;
}

} // namespace

bool isPathSeparator(char16_t c)
{
    return c == u'/' || c == u'\\';
}

Text fileNameOf(TextView path)
{
    const TextView trimmed = withoutTrailingSeparators(path);
    return Text(trimmed.substr(lastComponentStart(trimmed)));
}

Text baseNameOf(TextView path)
{
    const Text name = fileNameOf(path);
    const size_t dot = name.rfind(u'.');
    return dot == Text::npos ? name : name.substr(0, dot);
}

Text extensionOf(TextView path)
{
    const Text name = fileNameOf(path);
    const size_t dot = name.rfind(u'.');
    return dot == Text::npos ? Text() : name.substr(dot + 1);
}

Text parentFolderOf(TextView path)
{
    const TextView trimmed = withoutTrailingSeparators(path);
    size_t end = lastComponentStart(trimmed);
    if (end == 0)
        return Text();
    while (end > 1 && isPathSeparator(trimmed[end - 1]))
        --end;
    return Text(trimmed.substr(0, end));
}

Text joinPath(TextView folder, TextView name)
{
    if (folder.empty())
        return Text(name);
    if (name.empty())
        return Text(folder);
    size_t nameStart = 0;
    while (nameStart < name.size() && isPathSeparator(name[nameStart]))
        ++nameStart;
    Text out(folder);
    if (!isPathSeparator(out.back()))
        out += u'/';
    out += name.substr(nameStart);
    return out;
}

Text absolutePath(TextView path, TextView currentFolder)
{
    Text whole;
    if (path.empty() || !isPathSeparator(path[0])) {
        whole = Text(currentFolder);
        whole += u'/';
    }
    whole += path;
    std::vector<TextView> parts;
    const TextView all(whole);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = start;
        while (end < all.size() && !isPathSeparator(all[end]))
            ++end;
        const TextView part = all.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    Text out;
    for (const TextView part : parts) {
        out += u'/';
        out += part;
    }
    return out.empty() ? Text(u"/") : out;
}

} // namespace quillet::script
