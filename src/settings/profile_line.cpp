#include "settings/profile_line.h"

namespace quillet {

namespace {

bool isProfileBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isQuoted(TextView value)
{
    return value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
}

} // namespace

Text trimProfileBlanks(TextView text)
{
    size_t b = 0, e = text.size();
    while (b < e && isProfileBlank(text[b]))
        ++b;
    while (e > b && isProfileBlank(text[e - 1]))
        --e;
    return Text(text.substr(b, e - b));
}

ProfileLine parseProfileLine(TextView line)
{
    ProfileLine out;
    const Text trimmed = trimProfileBlanks(line);
    if (trimmed.empty())
        return out;
    if (trimmed.front() == u';') {
        out.kind = ProfileLine::Kind::Comment;
        return out;
    }
    if (trimmed.front() == u'[') {
        const size_t close = trimmed.find(u']');
        out.kind = ProfileLine::Kind::Section;
        out.name = trimProfileBlanks(TextView(trimmed).substr(1, close == Text::npos ? Text::npos : close - 1));
        return out;
    }
    const size_t eq = trimmed.find(u'=');
    if (eq == Text::npos || eq == 0) {
        out.kind = ProfileLine::Kind::Other;
        return out;
    }
    out.kind = ProfileLine::Kind::Key;
    out.name = trimProfileBlanks(TextView(trimmed).substr(0, eq));
    out.value = trimProfileBlanks(TextView(trimmed).substr(eq + 1));
    if (isQuoted(out.value))
        out.value = out.value.substr(1, out.value.size() - 2);
    return out;
}

Text quoteProfileValue(TextView value)
{
    const bool needsQuotes = !value.empty() &&
        (isProfileBlank(value.front()) || isProfileBlank(value.back()) || isQuoted(value));
    if (!needsQuotes)
        return Text(value);
    return u"\"" + Text(value) + u"\"";
}

} // namespace quillet
