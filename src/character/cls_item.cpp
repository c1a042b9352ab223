#include "character/cls_item.h"

#include "character/parser.h"
#include "common/vb_error.h"
#include "common/vb_number.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace quillet {

namespace {

std::atomic<int32_t> itemKeyCounter{0};

// The first ',' of `text` at or after `from`, npos when none.  The
// lookups of a sheet spend their time here: memchr finds the comma's byte
// many characters at a time, and a byte that is only part of another
// character is passed over.
size_t nextComma(const Text& text, size_t from)
{
    const char* bytes = reinterpret_cast<const char*>(text.data());
    const size_t end = text.size() * sizeof(char16_t);
    for (size_t at = from * sizeof(char16_t); at < end;) {
        const void* hit = std::memchr(bytes + at, ',', end - at);
        if (!hit)
            break;
        const size_t offset = size_t(static_cast<const char*>(hit) - bytes);
        if (offset % sizeof(char16_t) == 0 && text[offset / sizeof(char16_t)] == u',')
            return offset / sizeof(char16_t);
        at = offset + 1;
    }
    return Text::npos;
}

// Where the value of a tag starts: just after the first ",tag(" in the
// tag list, letter case aside (as a plain search of the lower-cased list
// finds it, without lower-casing the list on every read).  npos when
// absent.
size_t tagValueStart(const Text& tagList, TextView tag)
{
    if (tagList.size() > kMaxParserText)
        throw VbError(vberr::Overflow);
    const size_t keySize = tag.size() + 2; // ",tag("
    for (size_t p = nextComma(tagList, 0); p != Text::npos && tagList.size() - p >= keySize;
         p = nextComma(tagList, p + 1)) {
        if (tagList[p + keySize - 1] == u'(' && equalsIgnoreCase(TextView(tagList).substr(p + 1, tag.size()), tag))
            return p + keySize;
    }
    return Text::npos;
}

} // namespace

int32_t NextItemKey()
{
    return ++itemKeyCounter;
}

clsItem::clsItem() : IDKey_(NextItemKey()) {}

void clsItem::NewTagList(TextView newTagData)
{
    Text list;
    list.reserve(newTagData.size() + 1);
    VisitSplitParts(newTagData, u",", SplitBrackets | SplitQuotes, [&list](TextView part) {
        list += u',';
        list += trimSpacesView(part);
    });
    TagList_ = std::move(list);
}

Text clsItem::TagItem(TextView tag) const
{
    const size_t start = tagValueStart(TagList_, tag);
    if (start == Text::npos)
        return Text();
    const TextView rest = TextView(TagList_).substr(start);
    const int16_t q = FindCloseParen(rest);
    if (q == 0)
        return Text();
    return Text(rest.substr(0, static_cast<size_t>(q) - 1));
}

void clsItem::setTagItem(TextView tag, TextView value)
{
    const size_t start = tagValueStart(TagList_, tag);
    if (start == Text::npos) {
        TagList_ += u',';
        TagList_ += tag;
        TagList_ += u'(';
        TagList_ += value;
        TagList_ += u')';
        return;
    }
    const TextView rest = TextView(TagList_).substr(start);
    const int16_t q = FindCloseParen(rest);
    if (q == 0)
        return;
    Text updated = TagList_.substr(0, start);
    updated += value;
    updated += rest.substr(static_cast<size_t>(q) - 1);
    TagList_ = std::move(updated);
}

Text clsItem::TagFullName() const
{
    const Text name = TagItem(u"name");
    const Text ext = TagItem(u"nameext");
    if (ext.empty())
        return name;
    return name + u" (" + ext + u")";
}

void clsItem::Clear()
{
    Name_.clear();
    IDKey_ = 0;
    Flag_ = 0;
    ParentKey_ = 0;
    ParentType_ = 0;
    ChildKeyList_.clear();
    ChildTypeList_.clear();
    TagList_.clear();
}

void clsItem::AddChild(int32_t childKey, int16_t listType)
{
    const Text keyText = decimalText(childKey);
    const Text typeText = decimalText(listType);
    if (trimSpaces(ChildKeyList_).empty()) {
        ChildKeyList_ = keyText;
        ChildTypeList_ = typeText;
        return;
    }
    size_t from = 0;
    for (;;) {
        const size_t comma = ChildKeyList_.find(u',', from);
        const TextView element = TextView(ChildKeyList_).substr(from, comma == Text::npos ? Text::npos : comma - from);
        if (element == keyText)
            return;
        if (comma == Text::npos)
            break;
        from = comma + 1;
    }
    ChildKeyList_ += u',';
    ChildKeyList_ += keyText;
    ChildTypeList_ += u',';
    ChildTypeList_ += typeText;
}

void clsItem::RemoveChild(int32_t childKey)
{
    SplitText(ChildKeyList_, u",", 0);
    const int16_t n = SplitPartCount();
    std::vector<int32_t> keys(static_cast<size_t>(n) + 1);
    int16_t pos = 0;
    for (int16_t i = 1; i <= n; ++i) {
        keys[i] = toInt32(leadingNumber(SplitPart(i)));
        if (keys[i] == childKey)
            pos = i;
    }
    if (pos == 0)
        return;
    SplitText(ChildTypeList_, u",", 0);
    Text newKeys, newTypes;
    for (int16_t i = 1; i <= n; ++i) {
        if (i == pos)
            continue;
        // Beyond the type list's own parts SplitPart gives "" and so 0.
        const int16_t type = toInt16(leadingNumber(SplitPart(i)));
        if (!newKeys.empty()) {
            newKeys += u',';
            newTypes += u',';
        }
        newKeys += decimalText(keys[i]);
        newTypes += decimalText(type);
    }
    ChildKeyList_ = std::move(newKeys);
    ChildTypeList_ = std::move(newTypes);
}

} // namespace quillet
