#include "settings/profile_file.h"

#include "settings/profile_line.h"

namespace quillet {

namespace {

bool hasLineBreak(TextView text)
{
    return text.find_first_of(u"\r\n") != TextView::npos;
}

Text keyLine(TextView key, TextView value)
{
    return Text(key) + u"=" + quoteProfileValue(value);
}

} // namespace

ProfileFile ProfileFile::fromText(TextView text)
{
    ProfileFile file;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find_first_of(u"\r\n", pos);
        if (end == TextView::npos) {
            file.lines_.emplace_back(text.substr(pos));
            break;
        }
        file.lines_.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == u'\r' && pos < text.size() && text[pos] == u'\n')
            ++pos;
    }
    return file;
}

std::optional<Text> ProfileFile::value(TextView section, TextView key) const
{
    const Text wantedSection = trimProfileBlanks(section);
    const Text wantedKey = trimProfileBlanks(key);
    bool inSection = false;
    for (const Text& raw : lines_) {
        ProfileLine line = parseProfileLine(raw);
        if (line.kind == ProfileLine::Kind::Section)
            inSection = equalsIgnoreCase(line.name, wantedSection);
        else if (inSection && line.kind == ProfileLine::Kind::Key && equalsIgnoreCase(line.name, wantedKey))
            return std::move(line.value);
    }
    return std::nullopt;
}

bool ProfileFile::canWrite(TextView section, TextView key, TextView value)
{
    const Text s = trimProfileBlanks(section);
    const Text k = trimProfileBlanks(key);
    if (s.empty() || s.find(u']') != Text::npos || hasLineBreak(s))
        return false;
    if (k.empty() || k.front() == u'[' || k.front() == u';' || k.find(u'=') != Text::npos || hasLineBreak(k))
        return false;
    return !hasLineBreak(value);
}

bool ProfileFile::setValue(TextView section, TextView key, TextView value)
{
    if (!canWrite(section, key, value))
        return false;
    const Text wantedSection = trimProfileBlanks(section);
    const Text wantedKey = trimProfileBlanks(key);

    // Where the key goes if it is not there yet: after the last key line of
    // the first matching section (its header when it has no keys), so that
    // blank lines and comments before the next section stay where they are.
    std::optional<size_t> insertAfter;
    bool inSection = false;
    bool inFirstSection = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const ProfileLine line = parseProfileLine(lines_[i]);
        if (line.kind == ProfileLine::Kind::Section) {
            inSection = equalsIgnoreCase(line.name, wantedSection);
            inFirstSection = inSection && !insertAfter;
            if (inFirstSection)
                insertAfter = i;
            continue;
        }
        if (!inSection || line.kind != ProfileLine::Kind::Key)
            continue;
        if (equalsIgnoreCase(line.name, wantedKey)) {
            // Keep the key as the file spells it.
            lines_[i] = keyLine(line.name, value);
            return true;
        }
        if (inFirstSection)
            insertAfter = i;
    }

    if (insertAfter) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAfter + 1), keyLine(wantedKey, value));
        return true;
    }
    if (!lines_.empty() && !trimProfileBlanks(lines_.back()).empty())
        lines_.emplace_back();
    lines_.push_back(u"[" + wantedSection + u"]");
    lines_.push_back(keyLine(wantedKey, value));
    return true;
}

Text ProfileFile::toText() const
{
    Text out;
    for (const Text& line : lines_) {
        out += line;
        out += u"\r\n";
    }
    return out;
}

} // namespace quillet
