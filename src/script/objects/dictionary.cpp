#include "script/objects/dictionary.h"

#include "script/objects/native_member.h"


namespace quillet::script {

namespace {

Dictionary& self(NativeObject& o) { return static_cast<Dictionary&>(o); }

const NativeClass& dictionaryClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"Dictionary");
        using A = ArgKind;
        c.add(nativeMember(u"Item", {A::Any}, 1,
               [](NativeObject& o, std::span<Value> a) { return self(o).item(a[0]); },
               [](NativeObject& o, std::span<Value> a, const Value& v) { self(o).setItem(a[0], v); },
               [](NativeObject& o, std::span<Value> a, const Value& v) { self(o).setItem(a[0], v); }),
              true);
        c.add(nativeMember(u"Add", {A::Any, A::Any}, 2, [](NativeObject& o, std::span<Value> a) {
                   self(o).add(a[0], a[1]);
                   return Value();
               }));
        c.add(nativeMember(u"Exists", {A::Any}, 1,
               [](NativeObject& o, std::span<Value> a) { return Value::boolean(self(o).exists(a[0])); }));
        c.add(nativeMember(u"Items", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::arrayOf(self(o).items()); }));
        c.add(nativeMember(u"Keys", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::arrayOf(self(o).keys()); }));
        c.add(nativeMember(u"Key", {A::Any}, 1, nullptr,
               [](NativeObject& o, std::span<Value> a, const Value& v) { self(o).rename(a[0], v); }));
        c.add(nativeMember(u"Remove", {A::Any}, 1, [](NativeObject& o, std::span<Value> a) {
                   self(o).remove(a[0]);
                   return Value();
               }));
        c.add(nativeMember(u"RemoveAll", {}, 0, [](NativeObject& o, std::span<Value>) {
                   self(o).removeAll();
                   return Value();
               }));
        c.add(nativeMember(u"Count", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).count()); }));
        c.add(nativeMember(u"CompareMode", {}, 0,
               [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).compareMode()); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).setCompareMode(v.toInt32()); }));
        return c;
    }();
    return cls;
}

class KeyEnumerator : public Enumerator {
public:
    explicit KeyEnumerator(ElementVector keys) : keys_(std::move(keys)) {}
    bool next(Value& out) override
    {
        if (at_ >= keys_.size())
            return false;
        out = keys_[at_++];
        return true;
    }

private:
    ElementVector keys_;
    size_t at_ = 0;
};

} // namespace

Dictionary::Dictionary(ObjectRegistry* session) : NativeObject(dictionaryClass())
{
    joinSession(session);
}

void Dictionary::add(const Value& key, const Value& item)
{
    if (table_.find(key) != DictionaryTable::npos)
        throw VbError(vberr::KeyAlreadyExists);
    table_.insert(key, item);
}

Value Dictionary::item(const Value& key)
{
    const size_t at = table_.find(key);
    if (at != DictionaryTable::npos)
        return table_.itemAt(at);
    table_.insert(key, Value());
    return Value();
}

void Dictionary::setItem(const Value& key, const Value& item)
{
    const size_t at = table_.find(key);
    if (at != DictionaryTable::npos)
        table_.itemAt(at) = item.deref();
    else
        table_.insert(key, item);
}

void Dictionary::rename(const Value& oldKey, const Value& newKey)
{
    const size_t at = table_.find(oldKey);
    if (at == DictionaryTable::npos)
        throw VbError(vberr::ElementNotFound);
    if (table_.find(newKey) != DictionaryTable::npos)
        throw VbError(vberr::KeyAlreadyExists);
    table_.rekey(at, newKey);
}

void Dictionary::remove(const Value& key)
{
    const size_t at = table_.find(key);
    if (at == DictionaryTable::npos)
        throw VbError(vberr::ElementNotFound);
    table_.erase(at);
}

void Dictionary::setCompareMode(int mode)
{
    if (mode < 0 || table_.size() != 0)
        throw VbError(vberr::InvalidCall);
    compareMode_ = mode;
    table_.setIgnoreCase(mode != 0);
}

std::unique_ptr<Enumerator> Dictionary::enumerate()
{
    return std::make_unique<KeyEnumerator>(keys());
}

Value makeDictionary(Context& context)
{
    return makeObject<Dictionary>(context.objects);
}

} // namespace quillet::script
