// The storage behind Scripting.Dictionary: entries in insertion order and
// an open-addressing index of their positions (a compact hash map, so a
// look-up touches few cache lines).
//
// Keys compare by value within their kind: numbers of any numeric subtype
// by numeric value (1, CLng(1) and 1.0 are one key), strings exactly or,
// ignoring case when asked, objects by identity; a number and a string are
// never the same key (1 and "1" differ).  Arrays cannot be keys (error 13).
#pragma once

#include "script/value.h"

#include <cstdint>
#include <vector>

namespace quillet::script {

class DictionaryTable {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t size() const { return live_; }
    bool ignoreCase() const { return ignoreCase_; }
    // Only while empty: the index is built with the mode.
    void setIgnoreCase(bool ignoreCase) { ignoreCase_ = ignoreCase; }

    // Position of the entry with this key, or npos.
    size_t find(const Value& key) const;
    // Appends an entry whose key is not present yet; returns its position.
    size_t insert(const Value& key, const Value& item);
    // Removes the entry at `position`; positions of later entries may change.
    void erase(size_t position);
    // Gives the entry at `position` a key that is not present yet.
    void rekey(size_t position, const Value& newKey);
    void clear();

    Value& itemAt(size_t position) { return entries_[position].item; }
    ElementVector keys() const;
    ElementVector items() const;

private:
    enum class KeyKind : uint8_t { Empty, Null, Number, Text, Boolean, Object, Date, Error };
    // A key reduced to what decides equality; the text is only viewed.
    struct KeyRef {
        KeyKind kind = KeyKind::Empty;
        double number = 0;
        TextView text;
        const void* object = nullptr;
    };
    struct Entry {
        Value key;
        Value item;
        size_t hash = 0;
        bool live = true;
    };
    static constexpr int32_t kEmptySlot = -1;
    static constexpr int32_t kRemovedSlot = -2;

    static KeyRef refOf(const Value& key);
    size_t hashOf(const KeyRef& key) const;
    bool equal(const KeyRef& a, const KeyRef& b) const;
    // Slot holding the key (>= 0 entry) or, when absent, npos.
    size_t findSlot(const KeyRef& key, size_t hash) const;
    void placeInIndex(size_t position);
    // The keys or the items of the live entries, in order.
    ElementVector copied(Value Entry::*part) const;
    // Drops removed entries and rebuilds the index with room to grow.
    // Error 7 (or bad_alloc) leaves the table as it was.
    void rebuild();

    // Both charged to the meter current when the table was made (its owner
    // holds a charge there too, which keeps that meter alive).
    using Entries = std::vector<Entry, MeteredAllocator<Entry>>;
    using Slots = std::vector<int32_t, MeteredAllocator<int32_t>>;
    Entries entries_;
    Slots slots_; // power-of-two size; entry positions, kEmptySlot or kRemovedSlot
    size_t live_ = 0;
    size_t usedSlots_ = 0; // live entries plus removed markers
    bool ignoreCase_ = false;
};

} // namespace quillet::script
