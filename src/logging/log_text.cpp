#include "logging/log_text.h"

namespace quillet {

namespace {

bool needsEscape(char16_t c)
{
    if (c == u'\t')
        return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

Text visibleName(char16_t c)
{
    switch (c) {
    case u'\r': return u"<CR>";
    case u'\n': return u"<LF>";
    case 0: return u"<NUL>";
    case 0x1B: return u"<ESC>";
    default: break;
    }
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text name = u"<U+";
    for (int shift = 12; shift >= 0; shift -= 4)
        name += kHex[(c >> shift) & 0xF];
    return name + u">";
}

} // namespace

Text logLineText(TextView text)
{
    Text out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (needsEscape(c))
            out += visibleName(c);
        else
            out += c;
    }
    return out;
}

} // namespace quillet
