// An item's tag list: NewTagList over an item line, then the look-ups and
// the update a sheet script can make, with a round-trip check: a plain tag
// set to a plain value reads back as that value.
#include "character/cls_item.h"
#include "common/vb_error.h"
#include "fuzz_text.h"

#include <cstdlib>

namespace {

bool plainTag(quillet::TextView tag)
{
    if (tag.empty())
        return false;
    for (char16_t c : tag)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

bool plainValue(quillet::TextView value)
{
    return value.find_first_of(u"()") == quillet::TextView::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    FuzzedDataProvider in(data, size);
    const Text tag = fuzz::takeText(in, 16);
    const Text value = fuzz::takeText(in, 64);
    const Text line = fuzz::restText(in);

    clsItem item;
    try {
        item.NewTagList(line);
        (void)item.TagFullName();
        const Text before = item.TagItem(tag);
        const bool absent = lowerCase(item.TagList()).find(u"," + tag + u"(") == Text::npos;
        item.setTagItem(tag, value);
        const Text after = item.TagItem(tag);
        if (plainTag(tag) && plainValue(value) && (absent || !before.empty()) && after != value)
            std::abort();
        (void)item.TagFullName();
    } catch (const VbError& e) {
        // Texts beyond the 32,767-character limit overflow; nothing else fails.
        if (e.number() != vberr::Overflow)
            std::abort();
    }
    return 0;
}
