#include "script/lib/text_search.h"

#include "common/vb_error.h"

#include <algorithm>

namespace quillet::script {

namespace {

inline char16_t fold(char16_t c, CompareMode mode)
{
    return mode == CompareMode::Text ? lowerChar(c) : c;
}

bool matchesAt(TextView text, size_t pos, TextView find, CompareMode mode)
{
    if (mode == CompareMode::Binary)
        return text.compare(pos, find.size(), find) == 0;
    for (size_t k = 0; k < find.size(); ++k)
        if (fold(text[pos + k], mode) != fold(find[k], mode))
            return false;
    return true;
}

// 0-based index of the first match at or after `from`, npos when none.
size_t findFrom(TextView text, TextView find, size_t from, CompareMode mode)
{
    if (mode == CompareMode::Binary)
        return text.find(find, from);
    if (find.size() > text.size())
        return TextView::npos;
    for (size_t i = from; i + find.size() <= text.size(); ++i)
        if (matchesAt(text, i, find, mode))
            return i;
    return TextView::npos;
}

} // namespace

CompareMode compareModeFrom(int value)
{
    if (value == 0 || value == -1)
        return CompareMode::Binary;
    if (value == 1)
        return CompareMode::Text;
    throw VbError(vberr::InvalidCall);
}

size_t findText(TextView text, TextView find, size_t start, CompareMode mode)
{
    if (text.empty())
        return 0;
    if (find.empty())
        return start <= text.size() + 1 ? start : 0;
    if (start > text.size())
        return 0;
    const size_t at = findFrom(text, find, start - 1, mode);
    return at == TextView::npos ? 0 : at + 1;
}

size_t findTextReverse(TextView text, TextView find, size_t start, CompareMode mode)
{
    if (start > text.size())
        return 0;
    if (find.empty())
        return start;
    if (find.size() > start)
        return 0;
    for (size_t i = start - find.size() + 1; i-- > 0;)
        if (matchesAt(text, i, find, mode))
            return i + 1;
    return 0;
}

Text replaceText(TextView text, TextView find, TextView replacement, size_t start, long long count,
                 CompareMode mode, size_t maxLength)
{
    if (start > text.size())
        return Text();
    const TextView rest = text.substr(start - 1);
    if (find.empty() || count == 0)
        return Text(rest);
    Text out;
    out.reserve(rest.size());
    size_t pos = 0;
    long long done = 0;
    while (count < 0 || done < count) {
        const size_t at = findFrom(rest, find, pos, mode);
        if (at == TextView::npos)
            break;
        out.append(rest.substr(pos, at - pos));
        if (out.size() + replacement.size() > maxLength)
            throw VbError(vberr::OutOfMemory);
        out.append(replacement);
        pos = at + find.size();
        ++done;
    }
    out.append(rest.substr(pos));
    return out;
}

void splitEach(TextView text, TextView delimiter, long long limit, CompareMode mode,
               const std::function<void(TextView)>& piece)
{
    if (text.empty() || limit == 0)
        return;
    if (delimiter.empty()) {
        piece(text);
        return;
    }
    size_t pos = 0;
    long long count = 0;
    while (limit < 0 || count < limit - 1) {
        const size_t at = findFrom(text, delimiter, pos, mode);
        if (at == TextView::npos)
            break;
        piece(text.substr(pos, at - pos));
        ++count;
        pos = at + delimiter.size();
    }
    piece(text.substr(pos));
}

int compareText(TextView a, TextView b, CompareMode mode)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = fold(a[i], mode);
        const char16_t y = fold(b[i], mode);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool filterKeeps(TextView item, TextView find, bool include, CompareMode mode)
{
    return (findFrom(item, find, 0, mode) != TextView::npos) == include;
}

Text reverseText(TextView text)
{
    return Text(text.rbegin(), text.rend());
}

} // namespace quillet::script
