#include "script/lib/escape_text.h"

#include "common/vb_error.h"
#include "script/stop_poll.h"

namespace quillet::script {

namespace {

bool keptAsIs(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'@' ||
           c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The value of `count` hex digits at text[at], -1 when they are not all hex.
int hexValue(TextView text, size_t at, size_t count)
{
    if (at + count > text.size())
        return -1;
    int v = 0;
    for (size_t k = 0; k < count; ++k) {
        const int d = hexDigit(text[at + k]);
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}

} // namespace

Text escapeText(TextView text, size_t maxLength)
{
    static const char16_t* const kHex = u"0123456789ABCDEF";
    Text out;
    out.reserve(text.size());
    StopPoll poll;
    for (const char16_t c : text) {
        poll.tick();
        if (keptAsIs(c)) {
            out.push_back(c);
        } else if (c < 256) {
            out += {u'%', kHex[c >> 4], kHex[c & 15]};
        } else {
            out += {u'%', u'u', kHex[c >> 12], kHex[(c >> 8) & 15], kHex[(c >> 4) & 15], kHex[c & 15]};
        }
        if (out.size() > maxLength)
            throw VbError(vberr::OutOfMemory);
    }
    return out;
}

Text unescapeText(TextView text)
{
    Text out;
    out.reserve(text.size());
    StopPoll poll;
    for (size_t i = 0; i < text.size(); ++i) {
        poll.tick();
        if (text[i] == u'%') {
            if (i + 1 < text.size() && text[i + 1] == u'u') {
                const int v = hexValue(text, i + 2, 4);
                if (v >= 0) {
                    out.push_back(static_cast<char16_t>(v));
                    i += 5;
                    continue;
                }
            } else {
                const int v = hexValue(text, i + 1, 2);
                if (v >= 0) {
                    out.push_back(static_cast<char16_t>(v));
                    i += 2;
                    continue;
                }
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace quillet::script
