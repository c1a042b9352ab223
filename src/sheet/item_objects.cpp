// Items and item lists for scripts.
#include "sheet/character_objects.h"

#include "script/host_object.h"
#include "sheet/character_growth.h"
#include "sheet/native_members.h"
#include "sheet/record_object.h"

namespace quillet {

using script::ArgKind;
using script::NativeClass;
using script::NativeMember;
using script::NativeObject;
using script::Value;

namespace {

NativeClass buildItemClass();
using ItemObject = RecordObject<clsItem, buildItemClass>;

clsItem& item(NativeObject& o) { return ItemObject::of(o); }

size_t itemBytes(const clsItem& i)
{
    return textBytes(i.Name()) + textBytes(i.TagList()) + textBytes(i.ChildKeyList()) + textBytes(i.ChildTypeList());
}

// Changes an item that grows by at most `bound` bytes: the bound is
// charged first (error 7 changes nothing), then settled to what the item
// really grew or shrank.
template <typename Change>
void changeItem(clsItem& target, size_t bound, Change change)
{
    const size_t before = itemBytes(target);
    chargeCharacterGrowth(before, before + bound);
    try {
        change(target);
    } catch (...) {
        chargeCharacterGrowth(before + bound, before);
        throw;
    }
    chargeCharacterGrowth(before + bound, itemBytes(target));
}

// A child key and list type as AddChild appends them, with their commas.
constexpr size_t kChildEntryBytes = 20 * sizeof(char16_t);

NativeMember textField(const char16_t* name, const Text& (clsItem::*get)() const, void (clsItem::*set)(Text))
{
    return nativeMember(
        name, {}, [get](NativeObject& o, std::span<Value>) { return Value::string((item(o).*get)()); },
        [get, set](NativeObject& o, std::span<Value>, const Value& v) {
            Text value = v.toText();
            chargeCharacterGrowth(textBytes((item(o).*get)()), textBytes(value));
            (item(o).*set)(std::move(value));
        });
}

NativeClass buildItemClass()
{
    NativeClass c(u"clsItem");
    c.add(nativeMember(
        u"IDKey", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(item(o).IDKey()); },
        [](NativeObject&, std::span<Value>, const Value& v) { (void)v.toInt32(); }));
    c.add(textField(u"Name", &clsItem::Name, &clsItem::setName));
    c.add(nativeMember(u"NewTagList", {ArgKind::Text}, [](NativeObject& o, std::span<Value> a) {
        // The tag list made is never longer than the text plus one comma.
        const size_t bound = textBytes(a[0].rawText()) + sizeof(char16_t);
        changeItem(item(o), bound, [&](clsItem& i) { i.NewTagList(a[0].rawText()); });
        return Value();
    }));
    c.add(nativeMember(
        u"TagFullName", {}, [](NativeObject& o, std::span<Value>) { return Value::string(item(o).TagFullName()); },
        [](NativeObject&, std::span<Value>, const Value& v) { (void)v.toText(); }));
    c.add(nativeMember(u"Clear", {}, [](NativeObject& o, std::span<Value>) {
        changeItem(item(o), 0, [](clsItem& i) { i.Clear(); });
        return Value();
    }));
    c.add(textField(u"TagList", &clsItem::TagList, &clsItem::setTagList));
    c.add(nativeMember(
        u"TagItem", {ArgKind::Text},
        [](NativeObject& o, std::span<Value> a) { return Value::string(item(o).TagItem(a[0].rawText())); },
        [](NativeObject& o, std::span<Value> a, const Value& v) {
            const Text value = v.toText();
            // At most ",tag(value)" more.
            const size_t bound = textBytes(a[0].rawText()) + textBytes(value) + 3 * sizeof(char16_t);
            changeItem(item(o), bound, [&](clsItem& i) { i.setTagItem(a[0].rawText(), value); });
        }));
    c.add(nativeMember(
        u"Flag", {}, [](NativeObject& o, std::span<Value>) { return Value::integer(item(o).Flag()); },
        [](NativeObject& o, std::span<Value>, const Value& v) { item(o).setFlag(v.toInt16()); }));
    c.add(nativeMember(
        u"ParentKey", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(item(o).ParentKey()); },
        [](NativeObject& o, std::span<Value>, const Value& v) { item(o).setParentKey(v.toInt32()); }));
    c.add(textField(u"ChildKeyList", &clsItem::ChildKeyList, &clsItem::setChildKeyList));
    c.add(textField(u"ChildTypeList", &clsItem::ChildTypeList, &clsItem::setChildTypeList));
    c.add(nativeMember(
        u"ParentType", {}, [](NativeObject& o, std::span<Value>) { return Value::integer(item(o).ParentType()); },
        [](NativeObject& o, std::span<Value>, const Value& v) { item(o).setParentType(v.toInt16()); }));
    c.add(nativeMember(u"AddChild", {ArgKind::Int32, ArgKind::Int16}, [](NativeObject& o, std::span<Value> a) {
        changeItem(item(o), kChildEntryBytes, [&](clsItem& i) { i.AddChild(a[0].rawLong(), a[1].rawInteger()); });
        return Value();
    }));
    c.add(nativeMember(u"RemoveChild", {ArgKind::Int32}, [](NativeObject& o, std::span<Value> a) {
        changeItem(item(o), 0, [&](clsItem& i) { i.RemoveChild(a[0].rawLong()); });
        return Value();
    }));
    return c;
}

// ---- a list of items: a 1-based collection ----------------------------

// Walks a keyed list for For Each, showing each entry as a script object.
template <typename T>
class EntryEnumerator : public script::Enumerator {
public:
    using Wrap = Value (*)(std::shared_ptr<T>);
    EntryEnumerator(std::shared_ptr<KeyedList<T>> list, Wrap wrap) : list_(std::move(list)), wrap_(wrap) {}
    bool next(Value& out) override
    {
        if (position_ > list_->Count())
            return false;
        out = wrap_(list_->Item(position_++));
        return true;
    }

private:
    std::shared_ptr<KeyedList<T>> list_;
    Wrap wrap_;
    int32_t position_ = 1;
};

std::unique_ptr<script::Enumerator> walkItems(const std::shared_ptr<ItemList>& list)
{
    return std::make_unique<EntryEnumerator<clsItem>>(list, itemObject);
}

NativeClass buildItemListClass();
using ItemListObject = RecordObject<ItemList, buildItemListClass, walkItems>;

ItemList& list(NativeObject& o) { return ItemListObject::of(o); }

// What one entry of a list holds: its slot and its key.
size_t listEntryBytes(const std::optional<Text>& key)
{
    return sizeof(std::shared_ptr<clsItem>) + sizeof(std::optional<Text>) + (key ? textBytes(*key) : 0);
}

// Positions are whole numbers; keys are texts.
Value itemAt(ItemList& l, const Value& index)
{
    const Value& v = index.deref();
    if (v.isString())
        return itemObject(l.Item(TextView(v.rawText())));
    return itemObject(l.Item(v.toInt32()));
}

NativeClass buildItemListClass()
{
    NativeClass c(u"Collection");
    NativeMember itemMember = nativeMember(u"Item", {ArgKind::Any},
                                     [](NativeObject& o, std::span<Value> a) { return itemAt(list(o), a[0]); });
    c.add(itemMember, true);
    c.add(nativeMember(u"Count", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(list(o).Count()); }));
    NativeMember add = nativeMember(u"Add", {ArgKind::Any, ArgKind::Any}, [](NativeObject& o, std::span<Value> a) {
        auto entry = itemOf(a[0]);
        if (!entry)
            throw VbError(vberr::TypeMismatch);
        std::optional<Text> key;
        if (a.size() > 1 && !a[1].deref().isMissing())
            key = a[1].deref().toText();
        const size_t bytes = listEntryBytes(key);
        chargeCharacterGrowth(0, bytes);
        try {
            list(o).Add(std::move(entry), std::move(key));
        } catch (...) {
            chargeCharacterGrowth(bytes, 0);
            throw;
        }
        return Value();
    });
    add.requiredArgs = 1;
    c.add(std::move(add));
    c.add(nativeMember(u"Remove", {ArgKind::Int32}, [](NativeObject& o, std::span<Value> a) {
        const size_t bytes = listEntryBytes(list(o).KeyAt(a[0].rawLong()));
        list(o).Remove(a[0].rawLong());
        chargeCharacterGrowth(bytes, 0);
        return Value();
    }));
    return c;
}

// ---- the eight lists ----------------------------------------------------

std::unique_ptr<script::Enumerator> walkLists(const std::shared_ptr<KeyedList<ItemList>>& lists)
{
    return std::make_unique<EntryEnumerator<ItemList>>(lists, itemListObject);
}

NativeClass buildListsClass();
using ListsObject = RecordObject<KeyedList<ItemList>, buildListsClass, walkLists>;

KeyedList<ItemList>& lists(NativeObject& o) { return ListsObject::of(o); }

NativeClass buildListsClass()
{
    NativeClass c(u"Collection");
    c.add(nativeMember(u"Item", {ArgKind::Int32},
                 [](NativeObject& o, std::span<Value> a) { return itemListObject(lists(o).Item(a[0].rawLong())); }),
          true);
    c.add(nativeMember(u"Count", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(lists(o).Count()); }));
    return c;
}

} // namespace

Value itemObject(std::shared_ptr<clsItem> item)
{
    return ItemObject::wrap(std::move(item));
}

Value itemListObject(std::shared_ptr<ItemList> list)
{
    return ItemListObject::wrap(std::move(list));
}

Value itemListsObject(std::shared_ptr<KeyedList<ItemList>> lists)
{
    return ListsObject::wrap(std::move(lists));
}

std::shared_ptr<clsItem> itemOf(const Value& value)
{
    return ItemObject::sharedOf(value);
}

std::shared_ptr<KeyedList<ItemList>> listsOf(const Value& value)
{
    return ListsObject::sharedOf(value);
}

} // namespace quillet
