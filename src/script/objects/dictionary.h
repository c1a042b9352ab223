// Scripting.Dictionary: an insertion-ordered hash map from keys to items.
//
// Engine hook: CreateObject("Scripting.Dictionary") resolves to
// makeDictionary() (registered by the runtime library with
// BuiltinRegistry::addCreatable).
//
// Keys compare by value within their kind: numbers of any numeric subtype
// by numeric value (1, CLng(1) and 1.0 are one key), strings exactly or,
// with CompareMode = vbTextCompare, ignoring case, objects by identity;
// a number and a string are never the same key (1 and "1" differ).
#pragma once

#include "script/builtins.h"
#include "script/host_object.h"

#include <unordered_map>
#include <vector>

namespace quillet::script {

class Dictionary : public NativeObject {
public:
    Dictionary();

    int count() const { return static_cast<int>(index_.size()); }
    bool exists(const Value& key) const;
    void add(const Value& key, const Value& item);    // error 457 when present
    // Item get: a missing key is added with an Empty item.
    Value item(const Value& key);
    void setItem(const Value& key, const Value& item); // adds or replaces
    void rename(const Value& oldKey, const Value& newKey);
    void remove(const Value& key);                     // error 32811 when missing
    void removeAll();
    std::vector<Value> keys() const;
    std::vector<Value> items() const;
    int compareMode() const { return compareMode_; }
    void setCompareMode(int mode);                     // error 5 unless empty

    std::unique_ptr<Enumerator> enumerate() override;

    // A key reduced to what decides equality, hashed.
    struct KeyId {
        enum Kind : uint8_t { Empty, Null, Number, Text, Boolean, Object, Date, Error } kind = Empty;
        double number = 0;
        quillet::Text text;
        const void* object = nullptr;
        bool operator==(const KeyId& other) const = default;
    };
    struct KeyHash {
        size_t operator()(const KeyId& k) const;
    };

private:
    struct Entry {
        Value key;
        Value item;
        bool live = true;
    };

    KeyId keyId(const Value& key) const;
    Entry* find(const Value& key);
    size_t append(const Value& key, KeyId id, const Value& item);
    void compactIfSparse();

    std::vector<Entry> entries_; // insertion order; removed entries are dead until compaction
    std::unordered_map<KeyId, size_t, KeyHash> index_;
    int compareMode_ = 0;
};

Value makeDictionary(Context& context);

} // namespace quillet::script
