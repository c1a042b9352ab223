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

size_t Dictionary::KeyHash::operator()(const KeyRef& k) const
{
    size_t h = static_cast<size_t>(k.kind) * 0x9E3779B97F4A7C15ull;
    switch (k.kind) {
    case KeyKind::Number: case KeyKind::Date: case KeyKind::Boolean: case KeyKind::Error:
        h ^= std::hash<double>()(k.number);
        break;
    case KeyKind::Text:
        if (!ignoreCase) {
            h ^= std::hash<TextView>()(k.text);
        } else {
            // FNV-1a over the case-folded text.
            size_t f = 1469598103934665603ull;
            for (const char16_t c : k.text)
                f = (f ^ lowerChar(c)) * 1099511628211ull;
            h ^= f;
        }
        break;
    case KeyKind::Object: h ^= std::hash<const void*>()(k.object); break;
    default: break;
    }
    return h;
}

bool Dictionary::KeyEqual::equal(const KeyRef& a, const KeyRef& b) const
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case KeyKind::Number: case KeyKind::Date: case KeyKind::Boolean: case KeyKind::Error:
        return a.number == b.number;
    case KeyKind::Text: return ignoreCase ? equalsIgnoreCase(a.text, b.text) : a.text == b.text;
    case KeyKind::Object: return a.object == b.object;
    default: return true;
    }
}

Dictionary::Dictionary() : NativeObject(dictionaryClass()), index_(newIndex()) {}

Dictionary::Index Dictionary::newIndex() const
{
    const bool ignoreCase = compareMode_ != 0;
    return Index(0, KeyHash{ignoreCase}, KeyEqual{ignoreCase});
}

Dictionary::KeyRef Dictionary::keyRef(const Value& raw)
{
    const Value& key = raw.deref();
    KeyRef ref;
    switch (key.type()) {
    case Type::Empty: ref.kind = KeyKind::Empty; break;
    case Type::Null: ref.kind = KeyKind::Null; break;
    case Type::Integer: case Type::Long: case Type::Byte: case Type::Single: case Type::Double:
    case Type::Currency:
        // Every numeric subtype by value: 1, CLng(1) and 1.0 are one key.
        ref.kind = KeyKind::Number;
        ref.number = key.toDouble() + 0.0; // folds -0 into 0
        break;
    case Type::Date:
        ref.kind = KeyKind::Date;
        ref.number = key.rawDate();
        break;
    case Type::Boolean:
        ref.kind = KeyKind::Boolean;
        ref.number = key.rawBoolean() ? 1 : 0;
        break;
    case Type::String:
        ref.kind = KeyKind::Text;
        ref.text = key.rawText();
        break;
    case Type::Object:
        ref.kind = KeyKind::Object;
        ref.object = key.rawObject();
        break;
    case Type::Error:
        ref.kind = KeyKind::Error;
        ref.number = key.rawError();
        break;
    default: throw VbError(vberr::TypeMismatch); // arrays cannot be keys
    }
    return ref;
}

Dictionary::KeyId Dictionary::ownedKey(const KeyRef& ref)
{
    return KeyId{ref.kind, ref.number, Text(ref.text), ref.object};
}

bool Dictionary::exists(const Value& key) const
{
    return index_.find(keyRef(key)) != index_.end();
}

size_t Dictionary::append(const Value& key, const KeyRef& ref, const Value& item)
{
    entries_.push_back({key.deref(), item.deref(), true});
    const size_t at = entries_.size() - 1;
    index_.emplace(ownedKey(ref), at);
    return at;
}

void Dictionary::add(const Value& key, const Value& item)
{
    const KeyRef ref = keyRef(key);
    if (index_.find(ref) != index_.end())
        throw VbError(vberr::KeyAlreadyExists);
    append(key, ref, item);
}

Value Dictionary::item(const Value& key)
{
    const KeyRef ref = keyRef(key);
    auto it = index_.find(ref);
    if (it != index_.end())
        return entries_[it->second].item;
    append(key, ref, Value());
    return Value();
}

void Dictionary::setItem(const Value& key, const Value& item)
{
    const KeyRef ref = keyRef(key);
    auto it = index_.find(ref);
    if (it != index_.end())
        entries_[it->second].item = item.deref();
    else
        append(key, ref, item);
}

void Dictionary::rename(const Value& oldKey, const Value& newKey)
{
    auto it = index_.find(keyRef(oldKey));
    if (it == index_.end())
        throw VbError(vberr::ElementNotFound);
    const KeyRef newRef = keyRef(newKey);
    if (index_.find(newRef) != index_.end())
        throw VbError(vberr::KeyAlreadyExists);
    const size_t at = it->second;
    index_.erase(it);
    entries_[at].key = newKey.deref();
    index_.emplace(ownedKey(keyRef(entries_[at].key)), at);
}

void Dictionary::remove(const Value& key)
{
    auto it = index_.find(keyRef(key));
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
        index_.emplace(ownedKey(keyRef(entries_[i].key)), i);
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
    index_ = newIndex();
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
