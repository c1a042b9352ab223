#include "script/lib/byte_text.h"

#include "script/stop_poll.h"

#include <algorithm>

namespace quillet::script {

namespace {

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLoneByteRange(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDCFF;
}

// Whether any unit lies in the lone-byte range.  Written without an early
// exit so that the compiler can test many units at once: the byte functions
// ask this on every call.
bool anyInLoneByteRange(TextView text)
{
    bool any = false;
    for (const char16_t c : text)
        any |= (c & 0xFF00) == 0xDC00;
    return any;
}

// A unit in the lone-byte range is a byte unless it completes a surrogate
// pair.
bool isLoneByte(TextView text, size_t i)
{
    return isLoneByteRange(text[i]) && !(i > 0 && isHighSurrogate(text[i - 1]));
}

char foldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string textBytes(TextView text, size_t from, size_t count)
{
    const size_t end = count > std::string::npos - from ? std::string::npos : from + count;
    std::string bytes;
    StopPoll poll;
    // With no unit up to the end of the slice that might be a lone byte,
    // byte k is simply a half of unit k / 2.
    if (!anyInLoneByteRange(text.substr(0, end / 2 + 1))) {
        const size_t last = std::min(end, text.size() * 2);
        for (size_t k = from; k < last; ++k) {
            poll.tick();
            bytes.push_back(static_cast<char>(k % 2 == 0 ? text[k / 2] & 0xFF : text[k / 2] >> 8));
        }
        return bytes;
    }
    size_t offset = 0;
    for (size_t i = 0; i < text.size() && offset < end; ++i) {
        poll.tick();
        const char pieces[2] = {static_cast<char>(text[i] & 0xFF), static_cast<char>(text[i] >> 8)};
        const size_t width = isLoneByte(text, i) ? 1 : 2;
        for (size_t b = 0; b < width; ++b, ++offset)
            if (offset >= from && offset < end)
                bytes.push_back(pieces[b]);
    }
    return bytes;
}

size_t byteLength(TextView text)
{
    if (!anyInLoneByteRange(text))
        return text.size() * 2;
    size_t n = 0;
    StopPoll poll;
    for (size_t i = 0; i < text.size(); ++i) {
        poll.tick();
        n += isLoneByte(text, i) ? 1 : 2;
    }
    return n;
}

Text bytesText(std::string_view bytes)
{
    Text text;
    text.reserve(bytes.size() / 2 + 1);
    // A lone byte must not follow a high surrogate, or the two would read
    // as a pair: that surrogate goes out as its two bytes instead.
    auto appendLone = [&text](uint8_t byte) {
        if (!text.empty() && isHighSurrogate(text.back())) {
            const char16_t high = text.back();
            text.back() = loneByteUnit(static_cast<uint8_t>(high & 0xFF));
            text.push_back(loneByteUnit(static_cast<uint8_t>(high >> 8)));
        }
        text.push_back(loneByteUnit(byte));
    };
    size_t i = 0;
    StopPoll poll;
    for (; i + 1 < bytes.size(); i += 2) {
        poll.tick(2);
        const uint8_t low = static_cast<uint8_t>(bytes[i]);
        const uint8_t high = static_cast<uint8_t>(bytes[i + 1]);
        const char16_t unit = static_cast<char16_t>(low | (high << 8));
        const bool completesPair = !text.empty() && isHighSurrogate(text.back());
        if (isLoneByteRange(unit) && !completesPair) {
            appendLone(low);
            appendLone(high);
        } else {
            text.push_back(unit);
        }
    }
    if (i < bytes.size())
        appendLone(static_cast<uint8_t>(bytes[i]));
    return text;
}

size_t findBytes(std::string_view bytes, std::string_view find, size_t start, CompareMode mode)
{
    if (bytes.empty())
        return 0;
    if (find.empty())
        return start <= bytes.size() + 1 ? start : 0;
    if (start > bytes.size() || find.size() > bytes.size())
        return 0;
    const char* data = bytes.data();
    size_t at;
    if (mode == CompareMode::Binary) {
        at = TwoWayPattern<char>(find).find([data](size_t i) { return data[i]; }, bytes.size(), start - 1);
    } else {
        std::string folded(find);
        std::transform(folded.begin(), folded.end(), folded.begin(), foldAscii);
        at = TwoWayPattern<char>(folded).find([data](size_t i) { return foldAscii(data[i]); }, bytes.size(),
                                              start - 1);
    }
    return at == TwoWayPattern<char>::npos ? 0 : at + 1;
}

} // namespace quillet::script
