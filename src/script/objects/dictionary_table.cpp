#include "script/objects/dictionary_table.h"

#include "script/stop_poll.h"

#include <functional>

namespace quillet::script {

DictionaryTable::KeyRef DictionaryTable::refOf(const Value& raw)
{
    const Value& key = raw.deref();
    KeyRef ref;
    switch (key.type()) {
    case Type::Empty: ref.kind = KeyKind::Empty; break;
    case Type::Null: ref.kind = KeyKind::Null; break;
    case Type::Integer: case Type::Long: case Type::Byte: case Type::Single: case Type::Double:
    case Type::Currency:
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
    default: throw VbError(vberr::TypeMismatch);
    }
    return ref;
}

size_t DictionaryTable::hashOf(const KeyRef& k) const
{
    size_t h = (static_cast<size_t>(k.kind) + 1) * 0x9E3779B97F4A7C15ull;
    switch (k.kind) {
    case KeyKind::Number: case KeyKind::Date: case KeyKind::Boolean: case KeyKind::Error:
        h ^= std::hash<double>()(k.number);
        break;
    case KeyKind::Text:
        if (!ignoreCase_) {
            h ^= std::hash<TextView>()(k.text);
        } else {
            size_t f = 1469598103934665603ull; // FNV-1a over the case-folded text
            for (const char16_t c : k.text)
                f = (f ^ lowerChar(c)) * 1099511628211ull;
            h ^= f;
        }
        break;
    case KeyKind::Object: h ^= std::hash<const void*>()(k.object); break;
    default: break;
    }
    // Spread the bits: the index uses the low ones.
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return h;
}

bool DictionaryTable::equal(const KeyRef& a, const KeyRef& b) const
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case KeyKind::Number: case KeyKind::Date: case KeyKind::Boolean: case KeyKind::Error:
        return a.number == b.number;
    case KeyKind::Text: return ignoreCase_ ? equalsIgnoreCase(a.text, b.text) : a.text == b.text;
    case KeyKind::Object: return a.object == b.object;
    default: return true;
    }
}

size_t DictionaryTable::findSlot(const KeyRef& key, size_t hash) const
{
    if (slots_.empty())
        return npos;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const int32_t slot = slots_[i];
        if (slot == kEmptySlot)
            return npos;
        if (slot >= 0) {
            const Entry& e = entries_[static_cast<size_t>(slot)];
            if (e.hash == hash && equal(refOf(e.key), key))
                return i;
        }
    }
}

size_t DictionaryTable::find(const Value& key) const
{
    const KeyRef ref = refOf(key);
    const size_t slot = findSlot(ref, hashOf(ref));
    return slot == npos ? npos : static_cast<size_t>(slots_[slot]);
}

void DictionaryTable::placeInIndex(size_t position)
{
    const size_t mask = slots_.size() - 1;
    size_t i = entries_[position].hash & mask;
    while (slots_[i] >= 0)
        i = (i + 1) & mask;
    if (slots_[i] == kEmptySlot)
        ++usedSlots_;
    slots_[i] = static_cast<int32_t>(position);
}

void DictionaryTable::rebuild()
{
    // Both allocations first: a script out of memory may go on (On Error
    // Resume Next) with the dictionary it had.
    size_t capacity = 16;
    while (capacity < (live_ + 1) * 3)
        capacity *= 2;
    Slots slots(capacity, kEmptySlot, slots_.get_allocator());
    Entries live(entries_.get_allocator());
    live.reserve(live_ + live_ / 2 + 8);
    for (Entry& e : entries_)
        if (e.live)
            live.push_back(std::move(e));
    entries_ = std::move(live);
    slots_ = std::move(slots);
    usedSlots_ = 0;
    for (size_t p = 0; p < entries_.size(); ++p)
        placeInIndex(p);
}

size_t DictionaryTable::insert(const Value& key, const Value& item)
{
    const KeyRef ref = refOf(key);
    const size_t hash = hashOf(ref);
    if (entries_.size() >= static_cast<size_t>(INT32_MAX))
        throw VbError(vberr::OutOfMemory);
    if ((usedSlots_ + 1) * 2 > slots_.size())
        rebuild();
    entries_.push_back({key.deref(), item.deref(), hash, true});
    ++live_;
    placeInIndex(entries_.size() - 1);
    return entries_.size() - 1;
}

void DictionaryTable::erase(size_t position)
{
    Entry& e = entries_[position];
    const size_t slot = findSlot(refOf(e.key), e.hash);
    slots_[slot] = kRemovedSlot;
    --live_;
    // Release the values now (an object item's Class_Terminate runs at
    // Remove, as in VBScript), after the table is consistent again.
    Entry dead{Value(), Value(), 0, false};
    std::swap(e, dead);
    if (entries_.size() > 32 && live_ * 2 < entries_.size()) {
        try {
            rebuild();
        } catch (...) {
            // Compacting is only tidying up: without memory for it the
            // table stays as it is, and the removal has been done.
        }
    }
}

void DictionaryTable::rekey(size_t position, const Value& newKey)
{
    const KeyRef ref = refOf(newKey); // error 13 before anything changes
    if ((usedSlots_ + 1) * 2 > slots_.size()) {
        // Room first (this may fail, or move the entry).
        const Value oldKey = entries_[position].key;
        rebuild();
        position = find(oldKey);
    }
    Entry& e = entries_[position];
    slots_[findSlot(refOf(e.key), e.hash)] = kRemovedSlot;
    e.hash = hashOf(ref);
    e.key = newKey.deref();
    placeInIndex(position);
}

void DictionaryTable::clear()
{
    Entries old(std::move(entries_));
    entries_.clear();
    slots_ = Slots(slots_.get_allocator());
    live_ = 0;
    usedSlots_ = 0;
}

ElementVector DictionaryTable::keys() const
{
    return copied(&Entry::key);
}

ElementVector DictionaryTable::items() const
{
    return copied(&Entry::item);
}

ElementVector DictionaryTable::copied(Value Entry::*part) const
{
    ElementVector out;
    out.reserve(live_);
    StopPoll poll;
    for (const Entry& e : entries_) {
        poll.tick();
        if (e.live)
            out.push_back(e.*part);
    }
    return out;
}

} // namespace quillet::script
