#include "character/parser.h"

#include "common/vb_error.h"

#include <limits>
#include <vector>

namespace quillet {

namespace {

// The result of the last SplitText: position 0 exists and stays empty in
// both lists.  One per thread: the program itself has a single thread, and
// tests may run splitters side by side.
struct SplitResult {
    std::vector<Text> parts{Text()};
    std::vector<Text> separators{Text()};
};

SplitResult& splitResult()
{
    thread_local SplitResult result;
    return result;
}

void checkLength(TextView text)
{
    if (text.size() > kMaxParserText)
        throw VbError(vberr::Overflow);
}

// Walks the text with the splitter's rules and calls onSeparator(i, c) for
// every separator found at 0-based index i.
template <typename OnSeparator>
int16_t walkSeparators(TextView text, TextView seps, int32_t options, OnSeparator&& onSeparator)
{
    checkLength(text);
    int depth = 0;
    bool inQuote = false;
    int16_t count = 0;
    const bool brackets = (options & SplitBrackets) != 0;
    const bool quotes = (options & SplitQuotes) != 0;
    // Most splits are at one separator: compared directly.
    const bool single = seps.size() == 1;
    const char16_t only = single ? seps[0] : u'\0';
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'(') {
            if (brackets)
                ++depth;
        } else if (c == u')') {
            if (brackets)
                --depth;
        } else if (c == u'"') {
            if (quotes)
                inQuote = !inQuote;
        }
        if (depth == 0 && !inQuote && (single ? c == only : seps.find(c) != TextView::npos)) {
            ++count;
            onSeparator(i, c);
        }
    }
    return count;
}

} // namespace

int16_t FindCloseParen(TextView text)
{
    checkLength(text);
    int depth = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'(')
            ++depth;
        else if (text[i] == u')')
            --depth;
        if (depth == 0)
            return static_cast<int16_t>(i + 1);
    }
    return 0;
}

int16_t CountSeparators(TextView text, TextView seps, int32_t options)
{
    return walkSeparators(text, seps, options, [](size_t, char16_t) {});
}

namespace {

// The part count is a 16-bit number too: a text made only of separators
// has one part more than the longest text has characters.
int16_t countWithinPartLimit(TextView text, TextView seps, int32_t options)
{
    const int16_t count = CountSeparators(text, seps, options);
    if (count == std::numeric_limits<int16_t>::max())
        throw VbError(vberr::Overflow);
    return count;
}

} // namespace

void VisitSplitParts(TextView text, TextView seps, int32_t options, const std::function<void(TextView)>& onPart)
{
    // Only a text as long as the longest allowed can have too many parts;
    // that is found before any part is visited.
    if (text.size() >= static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        countWithinPartLimit(text, seps, options);
    size_t partStart = 0;
    walkSeparators(text, seps, options, [&](size_t i, char16_t) {
        onPart(text.substr(partStart, i - partStart));
        partStart = i + 1;
    });
    onPart(text.substr(partStart));
}

void SplitText(TextView text, TextView seps, int32_t options)
{
    const int16_t count = countWithinPartLimit(text, seps, options);
    SplitResult& r = splitResult();
    r.parts.assign(static_cast<size_t>(count) + 2, Text());
    r.separators.assign(static_cast<size_t>(count) + 1, Text());
    size_t k = 0;
    size_t partStart = 0;
    walkSeparators(text, seps, options, [&](size_t i, char16_t c) {
        ++k;
        r.parts[k] = Text(text.substr(partStart, i - partStart));
        r.separators[k] = Text(1, c);
        partStart = i + 1;
    });
    r.parts[k + 1] = Text(text.substr(partStart));
}

int16_t SplitPartCount()
{
    return static_cast<int16_t>(splitResult().parts.size() - 1);
}

Text SplitPart(int16_t position)
{
    const auto& parts = splitResult().parts;
    if (position < 0)
        throw VbError(vberr::SubscriptOutOfRange);
    if (static_cast<size_t>(position) >= parts.size())
        return Text();
    return parts[static_cast<size_t>(position)];
}

Text SplitSeparator(int16_t position)
{
    const auto& seps = splitResult().separators;
    if (position < 0)
        throw VbError(vberr::SubscriptOutOfRange);
    if (static_cast<size_t>(position) >= seps.size())
        return Text();
    return seps[static_cast<size_t>(position)];
}

} // namespace quillet
