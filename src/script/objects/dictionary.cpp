#include "script/objects/dictionary.h"

#include "script/objects/native_member.h"

#include <functional>

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
    explicit KeyEnumerator(std::vector<Value> keys) : keys_(std::move(keys)) {}
    bool next(Value& out) override
    {
        if (at_ >= keys_.size())
            return false;
        out = keys_[at_++];
        return true;
    }

private:
    std::vector<Value> keys_;
    size_t at_ = 0;
};

} // namespace

size_t Dictionary::KeyHash::operator()(const KeyId& k) const
{
    size_t h = std::hash<int>()(k.kind);
    switch (k.kind) {
    case KeyId::Number: case KeyId::Date: case KeyId::Boolean: case KeyId::Error:
        h ^= std::hash<double>()(k.number) * 31;
        break;
    case KeyId::Text: h ^= std::hash<quillet::Text>()(k.text) * 31; break;
    case KeyId::Object: h ^= std::hash<const void*>()(k.object) * 31; break;
    default: break;
    }
    return h;
}

Dictionary::Dictionary() : NativeObject(dictionaryClass()) {}

Dictionary::KeyId Dictionary::keyId(const Value& raw) const
{
    const Value& key = raw.deref();
    KeyId id;
    switch (key.type()) {
    case Type::Empty: id.kind = KeyId::Empty; break;
    case Type::Null: id.kind = KeyId::Null; break;
    case Type::Integer: case Type::Long: case Type::Byte: case Type::Single: case Type::Double:
    case Type::Currency:
        id.kind = KeyId::Number;
        id.number = key.toDouble() + 0.0; // folds -0 into 0
        break;
    case Type::Date:
        id.kind = KeyId::Date;
        id.number = key.rawDate();
        break;
    case Type::Boolean:
        id.kind = KeyId::Boolean;
        id.number = key.rawBoolean() ? 1 : 0;
        break;
    case Type::String:
        id.kind = KeyId::Text;
        id.text = compareMode_ == 0 ? key.rawText() : lowerCase(key.rawText());
        break;
    case Type::Object:
        id.kind = KeyId::Object;
        id.object = key.rawObject();
        break;
    case Type::Error:
        id.kind = KeyId::Error;
        id.number = key.rawError();
        break;
    default: throw VbError(vberr::TypeMismatch); // arrays cannot be keys
    }
    return id;
}

Dictionary::Entry* Dictionary::find(const Value& key)
{
    auto it = index_.find(keyId(key));
    return it == index_.end() ? nullptr : &entries_[it->second];
}

bool Dictionary::exists(const Value& key) const
{
    return index_.count(keyId(key)) != 0;
}

size_t Dictionary::append(const Value& key, KeyId id, const Value& item)
{
    entries_.push_back({key.deref(), item.deref(), true});
    const size_t at = entries_.size() - 1;
    index_.emplace(std::move(id), at);
    return at;
}

void Dictionary::add(const Value& key, const Value& item)
{
    KeyId id = keyId(key);
    if (index_.count(id))
        throw VbError(vberr::KeyAlreadyExists);
    append(key, std::move(id), item);
}

Value Dictionary::item(const Value& key)
{
    KeyId id = keyId(key);
    auto it = index_.find(id);
    if (it != index_.end())
        return entries_[it->second].item;
    append(key, std::move(id), Value());
    return Value();
}

void Dictionary::setItem(const Value& key, const Value& item)
{
    KeyId id = keyId(key);
    auto it = index_.find(id);
    if (it != index_.end())
        entries_[it->second].item = item.deref();
    else
        append(key, std::move(id), item);
}

void Dictionary::rename(const Value& oldKey, const Value& newKey)
{
    auto it = index_.find(keyId(oldKey));
    if (it == index_.end())
        throw VbError(vberr::ElementNotFound);
    KeyId newId = keyId(newKey);
    if (index_.count(newId))
        throw VbError(vberr::KeyAlreadyExists);
    const size_t at = it->second;
    index_.erase(it);
    entries_[at].key = newKey.deref();
    index_.emplace(std::move(newId), at);
}

void Dictionary::remove(const Value& key)
{
    auto it = index_.find(keyId(key));
    if (it == index_.end())
        throw VbError(vberr::ElementNotFound);
    Entry& e = entries_[it->second];
    index_.erase(it);
    // Release the values now: an object item's Class_Terminate runs at
    // Remove, as it would in VBScript.
    Entry dead{Value(), Value(), false};
    std::swap(e, dead);
    compactIfSparse();
}

void Dictionary::compactIfSparse()
{
    if (entries_.size() < 32 || index_.size() * 2 > entries_.size())
        return;
    std::vector<Entry> live;
    live.reserve(index_.size());
    for (Entry& e : entries_)
        if (e.live)
            live.push_back(std::move(e));
    entries_ = std::move(live);
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i)
        index_.emplace(keyId(entries_[i].key), i);
}

void Dictionary::removeAll()
{
    std::vector<Entry> old;
    old.swap(entries_);
    index_.clear();
}

std::vector<Value> Dictionary::keys() const
{
    std::vector<Value> out;
    out.reserve(index_.size());
    for (const Entry& e : entries_)
        if (e.live)
            out.push_back(e.key);
    return out;
}

std::vector<Value> Dictionary::items() const
{
    std::vector<Value> out;
    out.reserve(index_.size());
    for (const Entry& e : entries_)
        if (e.live)
            out.push_back(e.item);
    return out;
}

void Dictionary::setCompareMode(int mode)
{
    if (mode < 0 || !index_.empty())
        throw VbError(vberr::InvalidCall);
    compareMode_ = mode;
}

std::unique_ptr<Enumerator> Dictionary::enumerate()
{
    return std::make_unique<KeyEnumerator>(keys());
}

Value makeDictionary(Context&)
{
    return makeObject<Dictionary>();
}

} // namespace quillet::script
