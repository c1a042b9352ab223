// One entry of a character's item lists: an attribute, advantage, skill,
// spell... kept as its normalised tag list (",name(Sword),points(3)"),
// with a program-wide key and parent/child links.
#pragma once

#include "common/text.h"

#include <cstdint>

namespace quillet {

// Keys run 1, 2, 3... over the whole program run, across every character
// loaded; they are never reused or reset.
int32_t NextItemKey();

class clsItem {
public:
    clsItem();

    int32_t IDKey() const { return IDKey_; }
    void setIDKey(int32_t) {} // the key cannot be changed from outside

    const Text& Name() const { return Name_; }
    void setName(Text v) { Name_ = std::move(v); }

    // Replaces TagList by the normalised tag list of an item line.
    void NewTagList(TextView newTagData);

    Text TagFullName() const;
    void setTagFullName(TextView) {} // accepted and ignored

    // Every field back to empty, the key included (it becomes 0).
    void Clear();

    const Text& TagList() const { return TagList_; }
    void setTagList(Text v) { TagList_ = std::move(v); }

    // Value of the first tag of that name; empty when absent or unclosed.
    Text TagItem(TextView tag) const;
    // Replaces the tag's value, or appends the tag when absent.
    void setTagItem(TextView tag, TextView value);

    int16_t Flag() const { return Flag_; }
    void setFlag(int16_t v) { Flag_ = v; }
    int32_t ParentKey() const { return ParentKey_; }
    void setParentKey(int32_t v) { ParentKey_ = v; }
    const Text& ChildKeyList() const { return ChildKeyList_; }
    void setChildKeyList(Text v) { ChildKeyList_ = std::move(v); }
    const Text& ChildTypeList() const { return ChildTypeList_; }
    void setChildTypeList(Text v) { ChildTypeList_ = std::move(v); }
    int16_t ParentType() const { return ParentType_; }
    void setParentType(int16_t v) { ParentType_ = v; }

    void AddChild(int32_t childKey, int16_t listType);
    void RemoveChild(int32_t childKey);

private:
    Text Name_;
    int32_t IDKey_ = 0;
    int16_t Flag_ = 0;
    int32_t ParentKey_ = 0;
    int16_t ParentType_ = 0;
    Text ChildKeyList_;
    Text ChildTypeList_;
    Text TagList_;
};

} // namespace quillet
