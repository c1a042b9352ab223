#include "script/lib/text_search.h"

#include "common/vb_error.h"
#include "script/stop_poll.h"

#include <algorithm>

namespace quillet::script {

namespace {

inline char16_t fold(char16_t c, CompareMode mode)
{
    return mode == CompareMode::Text ? lowerChar(c) : c;
}

Text preparedPattern(TextView pattern, CompareMode mode, bool fromEnd)
{
    if (mode == CompareMode::Binary && !fromEnd)
        return Text();
    Text units(pattern);
    if (mode == CompareMode::Text)
        std::transform(units.begin(), units.end(), units.begin(), lowerChar);
    if (fromEnd)
        std::reverse(units.begin(), units.end());
    return units;
}

} // namespace

TextFinder::TextFinder(TextView pattern, CompareMode mode, bool fromEnd)
    : mode_(mode), prepared_(preparedPattern(pattern, mode, fromEnd)),
      pattern_(mode == CompareMode::Binary && !fromEnd ? pattern : TextView(prepared_))
{
}

size_t TextFinder::find(TextView text, size_t from) const
{
    const char16_t* units = text.data();
    if (mode_ == CompareMode::Binary)
        return pattern_.find([units](size_t i) { return units[i]; }, text.size(), from);
    return pattern_.find([units](size_t i) { return lowerChar(units[i]); }, text.size(), from);
}

size_t TextFinder::findLast(TextView text, size_t end) const
{
    if (end < size())
        return npos;
    if (size() == 0)
        return end;
    // The text before `end` read backwards: a match at i there ends at
    // end - i here.
    const char16_t* back = text.data() + end - 1;
    const size_t at = mode_ == CompareMode::Binary
                          ? pattern_.find([back](size_t i) { return *(back - i); }, end, 0)
                          : pattern_.find([back](size_t i) { return lowerChar(*(back - i)); }, end, 0);
    return at == npos ? npos : end - at - size();
}

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
    const size_t at = TextFinder(find, mode).find(text, start - 1);
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
    const size_t at = TextFinder(find, mode, true).findLast(text, start);
    return at == TextView::npos ? 0 : at + 1;
}

std::optional<Text> replacedText(TextView text, TextView find, TextView replacement, size_t start,
                                 long long count, CompareMode mode, size_t maxLength)
{
    if (start > text.size())
        return Text();
    const bool whole = start == 1;
    const TextView rest = text.substr(start - 1);
    if (find.empty() || count == 0)
        return whole ? std::nullopt : std::optional<Text>(rest);
    const TextFinder finder(find, mode);
    size_t at = finder.find(rest, 0);
    if (at == TextView::npos)
        return whole ? std::nullopt : std::optional<Text>(rest);
    StopPoll poll;
    Text out;
    out.reserve(rest.size());
    size_t pos = 0;
    long long done = 0;
    while (true) {
        poll.tick(at - pos + replacement.size() + 1);
        out.append(rest.substr(pos, at - pos));
        if (out.size() + replacement.size() > maxLength)
            throw VbError(vberr::OutOfMemory);
        out.append(replacement);
        pos = at + find.size();
        ++done;
        if (count >= 0 && done >= count)
            break;
        at = finder.find(rest, pos);
        if (at == TextView::npos)
            break;
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
    const TextFinder finder(delimiter, mode);
    StopPoll poll;
    size_t pos = 0;
    long long count = 0;
    while (limit < 0 || count < limit - 1) {
        const size_t at = finder.find(text, pos);
        if (at == TextView::npos)
            break;
        poll.tick(at - pos + 1);
        piece(text.substr(pos, at - pos));
        ++count;
        pos = at + delimiter.size();
    }
    piece(text.substr(pos));
}

int compareText(TextView a, TextView b, CompareMode mode)
{
    int order = 0;
    inStretches(std::min(a.size(), b.size()), [&](size_t from, size_t to) {
        for (size_t i = from; i < to && order == 0; ++i) {
            const char16_t x = fold(a[i], mode);
            const char16_t y = fold(b[i], mode);
            if (x != y)
                order = x < y ? -1 : 1;
        }
        return order == 0;
    });
    if (order != 0 || a.size() == b.size())
        return order;
    return a.size() < b.size() ? -1 : 1;
}

Text reverseText(TextView text)
{
    Text out;
    out.reserve(text.size());
    inStretches(text.size(), [&](size_t from, size_t to) { out.append(text.rbegin() + from, text.rbegin() + to); });
    return out;
}

} // namespace quillet::script
