#include "surface/header_text.h"

#include "common/stop_request.h"

namespace quillet::surface {
namespace {

// Long texts poll the stop request every this many characters.
constexpr size_t kStopPollInterval = 4096;

bool timeToPoll(size_t i)
{
    return i % kStopPollInterval == 0;
}

} // namespace

std::vector<Text> splitHardLines(TextView text)
{
    std::vector<Text> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (timeToPoll(i))
            pollStop();
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

std::array<std::vector<Text>, 3> splitHeaderText(TextView text, int pageNumber)
{
    std::array<Text, 3> parts;
    size_t part = 0;
    const Text number = decimalText(pageNumber);
    for (size_t i = 0; i < text.size(); ++i) {
        if (timeToPoll(i))
            pollStop();
        char16_t c = text[i];
        if (c == u'|') {
            if (++part == parts.size())
                break;
        } else if (c == u'%' && i + 1 < text.size() && text[i + 1] == u'd') {
            parts[part] += number;
            ++i;
        } else {
            parts[part] += c;
        }
    }
    std::array<std::vector<Text>, 3> lines;
    for (size_t p = 0; p < parts.size(); ++p) {
        if (!parts[p].empty())
            lines[p] = splitHardLines(parts[p]);
    }
    return lines;
}

} // namespace quillet::surface
