// Items and item lists for scripts.
#include "sheet/character_objects.h"

#include "script/host_object.h"
#include "sheet/native_members.h"

namespace quillet {

using script::ArgKind;
using script::NativeClass;
using script::NativeMember;
using script::NativeObject;
using script::Value;

namespace {

class ItemObject : public NativeObject {
public:
    explicit ItemObject(std::shared_ptr<clsItem> item);
    clsItem& item() { return *item_; }
    const std::shared_ptr<clsItem>& shared() const { return item_; }

private:
    std::shared_ptr<clsItem> item_;
};

clsItem& item(NativeObject& o) { return static_cast<ItemObject&>(o).item(); }

NativeMember textField(const char16_t* name, const Text& (clsItem::*get)() const, void (clsItem::*set)(Text))
{
    return nativeMember(
        name, {}, [get](NativeObject& o, std::span<Value>) { return Value::string((item(o).*get)()); },
        [set](NativeObject& o, std::span<Value>, const Value& v) { (item(o).*set)(v.toText()); });
}

NativeClass buildItemClass()
{
    NativeClass c(u"clsItem");
    c.add(nativeMember(
        u"IDKey", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(item(o).IDKey()); },
        [](NativeObject&, std::span<Value>, const Value& v) { (void)v.toInt32(); }));
    c.add(textField(u"Name", &clsItem::Name, &clsItem::setName));
    c.add(nativeMember(u"NewTagList", {ArgKind::Text}, [](NativeObject& o, std::span<Value> a) {
        item(o).NewTagList(a[0].rawText());
        return Value();
    }));
    c.add(nativeMember(
        u"TagFullName", {}, [](NativeObject& o, std::span<Value>) { return Value::string(item(o).TagFullName()); },
        [](NativeObject&, std::span<Value>, const Value& v) { (void)v.toText(); }));
    c.add(nativeMember(u"Clear", {}, [](NativeObject& o, std::span<Value>) {
        item(o).Clear();
        return Value();
    }));
    c.add(textField(u"TagList", &clsItem::TagList, &clsItem::setTagList));
    c.add(nativeMember(
        u"TagItem", {ArgKind::Text},
        [](NativeObject& o, std::span<Value> a) { return Value::string(item(o).TagItem(a[0].rawText())); },
        [](NativeObject& o, std::span<Value> a, const Value& v) { item(o).setTagItem(a[0].rawText(), v.toText()); }));
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
        item(o).AddChild(a[0].rawLong(), a[1].rawInteger());
        return Value();
    }));
    c.add(nativeMember(u"RemoveChild", {ArgKind::Int32}, [](NativeObject& o, std::span<Value> a) {
        item(o).RemoveChild(a[0].rawLong());
        return Value();
    }));
    return c;
}

const NativeClass& itemClass()
{
    static const NativeClass cls = buildItemClass();
    return cls;
}

ItemObject::ItemObject(std::shared_ptr<clsItem> item) : NativeObject(itemClass()), item_(std::move(item)) {}

// ---- a list of items: a 1-based collection ----------------------------

class ItemListObject : public NativeObject {
public:
    explicit ItemListObject(std::shared_ptr<ItemList> list);
    ItemList& list() { return *list_; }
    std::unique_ptr<script::Enumerator> enumerate() override;

private:
    std::shared_ptr<ItemList> list_;
};

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

ItemList& list(NativeObject& o) { return static_cast<ItemListObject&>(o).list(); }

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
        list(o).Add(std::move(entry), std::move(key));
        return Value();
    });
    add.requiredArgs = 1;
    c.add(std::move(add));
    c.add(nativeMember(u"Remove", {ArgKind::Int32}, [](NativeObject& o, std::span<Value> a) {
        list(o).Remove(a[0].rawLong());
        return Value();
    }));
    return c;
}

const NativeClass& itemListClass()
{
    static const NativeClass cls = buildItemListClass();
    return cls;
}

ItemListObject::ItemListObject(std::shared_ptr<ItemList> list) : NativeObject(itemListClass()), list_(std::move(list))
{
}

std::unique_ptr<script::Enumerator> ItemListObject::enumerate()
{
    return std::make_unique<EntryEnumerator<clsItem>>(list_, itemObject);
}

// ---- the eight lists ----------------------------------------------------

class ListsObject : public NativeObject {
public:
    explicit ListsObject(std::shared_ptr<KeyedList<ItemList>> lists);
    KeyedList<ItemList>& lists() { return *lists_; }
    const std::shared_ptr<KeyedList<ItemList>>& shared() const { return lists_; }
    std::unique_ptr<script::Enumerator> enumerate() override;

private:
    std::shared_ptr<KeyedList<ItemList>> lists_;
};

KeyedList<ItemList>& lists(NativeObject& o) { return static_cast<ListsObject&>(o).lists(); }

NativeClass buildListsClass()
{
    NativeClass c(u"Collection");
    c.add(nativeMember(u"Item", {ArgKind::Int32},
                 [](NativeObject& o, std::span<Value> a) { return itemListObject(lists(o).Item(a[0].rawLong())); }),
          true);
    c.add(nativeMember(u"Count", {}, [](NativeObject& o, std::span<Value>) { return Value::longInt(lists(o).Count()); }));
    return c;
}

const NativeClass& listsClass()
{
    static const NativeClass cls = buildListsClass();
    return cls;
}

ListsObject::ListsObject(std::shared_ptr<KeyedList<ItemList>> lists)
    : NativeObject(listsClass()), lists_(std::move(lists))
{
}

std::unique_ptr<script::Enumerator> ListsObject::enumerate()
{
    return std::make_unique<EntryEnumerator<ItemList>>(lists_, itemListObject);
}

} // namespace

Value itemObject(std::shared_ptr<clsItem> item)
{
    return script::makeObject<ItemObject>(std::move(item));
}

Value itemListObject(std::shared_ptr<ItemList> list)
{
    return script::makeObject<ItemListObject>(std::move(list));
}

Value itemListsObject(std::shared_ptr<KeyedList<ItemList>> lists)
{
    return script::makeObject<ListsObject>(std::move(lists));
}

std::shared_ptr<clsItem> itemOf(const Value& value)
{
    const Value& v = value.deref();
    if (!v.isObject() || v.isNothing())
        return nullptr;
    auto* object = dynamic_cast<ItemObject*>(v.rawObject());
    return object ? object->shared() : nullptr;
}

std::shared_ptr<KeyedList<ItemList>> listsOf(const Value& value)
{
    const Value& v = value.deref();
    if (!v.isObject() || v.isNothing())
        return nullptr;
    auto* object = dynamic_cast<ListsObject*>(v.rawObject());
    return object ? object->shared() : nullptr;
}

} // namespace quillet
