#include "common/text.h"

#include <cstdint>
#include <cstring>

namespace quillet {

namespace {

void appendCodePoint(Text& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is not a
// well-formed (shortest, non-surrogate, <= U+10FFFF) sequence.
size_t utf8SequenceAt(std::string_view bytes, size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2; cp = b0 & 0x1F; min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3; cp = b0 & 0x0F; min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4; cp = b0 & 0x07; min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > bytes.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// The end of the run of ASCII bytes starting at bytes[i]: looked at eight
// at a time, since files are mostly ASCII.
size_t asciiRunEnd(std::string_view bytes, size_t i)
{
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    while (i + 8 <= bytes.size()) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if (word & kHighBits)
            break;
        i += 8;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

// Windows-1252 bytes 0x80..0x9F.  The five bytes the code page leaves
// undefined map to the C1 control of the same number, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

Text fromUtf8(std::string_view bytes)
{
    Text out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t ascii = asciiRunEnd(bytes, i);
        out.append(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.begin() + static_cast<std::ptrdiff_t>(ascii));
        if ((i = ascii) == bytes.size())
            break;
        char32_t cp;
        const size_t len = utf8SequenceAt(bytes, i, cp);
        if (len == 0) {
            out.push_back(u'\uFFFD');
            ++i;
        } else {
            appendCodePoint(out, cp);
            i += len;
        }
    }
    return out;
}

std::string toUtf8(TextView text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; (i = asciiRunEnd(bytes, i)) < bytes.size();) {
        char32_t cp;
        const size_t len = utf8SequenceAt(bytes, i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

Text fromWindows1252(std::string_view bytes)
{
    Text out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(windows1252Char(b));
    }
    return out;
}

Text fromUtf16(std::string_view bytes, bool bigEndian)
{
    Text out;
    out.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    if (bytes.size() % 2 != 0)
        out.push_back(u'\uFFFD');
    return out;
}

char16_t windows1252Char(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == c)
            return 0x80 + k;
    return -1;
}

Text decodeFileText(std::string_view bytes)
{
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF"))
        return fromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return isValidUtf8(bytes) ? fromUtf8(bytes) : fromWindows1252(bytes);
}

Text fromAscii(std::string_view ascii)
{
    return Text(ascii.begin(), ascii.end());
}

char16_t lowerChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs: even upper / odd lower, except in the two
        // runs 0x139..0x148 and 0x179..0x17E where the pairs are odd/even.
        const bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddRun ? (c & 1) : !(c & 1))
            return static_cast<char16_t>(c + 1);
        return c;
    }
    if (c >= 0x460 && c <= 0x4FF && !(c & 1) && !(c >= 0x482 && c <= 0x489))
        return static_cast<char16_t>(c + 1);
    return c;
}

char16_t upperChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddRun ? !(c & 1) : (c & 1))
            return static_cast<char16_t>(c - 1);
        return c;
    }
    if (c >= 0x460 && c <= 0x4FF && (c & 1) && !(c >= 0x482 && c <= 0x489))
        return static_cast<char16_t>(c - 1);
    return c;
}

Text lowerCase(TextView text)
{
    Text out(text);
    for (auto& c : out)
        c = lowerChar(c);
    return out;
}

Text upperCase(TextView text)
{
    Text out(text);
    for (auto& c : out)
        c = upperChar(c);
    return out;
}

bool equalsIgnoreCase(TextView a, TextView b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

bool startsWithIgnoreCase(TextView text, TextView prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

Text trimLeftSpaces(TextView text)
{
    size_t b = 0;
    while (b < text.size() && text[b] == u' ')
        ++b;
    return Text(text.substr(b));
}

Text trimRightSpaces(TextView text)
{
    size_t e = text.size();
    while (e > 0 && text[e - 1] == u' ')
        --e;
    return Text(text.substr(0, e));
}

TextView trimSpacesView(TextView text)
{
    size_t b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.substr(b, e - b);
}

Text trimSpaces(TextView text)
{
    return Text(trimSpacesView(text));
}

Text decimalText(int64_t value)
{
    return fromAscii(std::to_string(value));
}

} // namespace quillet
