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

    // A key reduced to what decides equality: KeyId owns its text (stored
    // in the index), KeyRef only views it (for look-ups, so that finding a
    // string key copies nothing).
    enum class KeyKind : uint8_t { Empty, Null, Number, Text, Boolean, Object, Date, Error };
    struct KeyRef {
        KeyKind kind = KeyKind::Empty;
        double number = 0;
        TextView text;
        const void* object = nullptr;
    };
    struct KeyId {
        KeyKind kind = KeyKind::Empty;
        double number = 0;
        quillet::Text text;
        const void* object = nullptr;
        KeyRef ref() const { return {kind, number, text, object}; }
    };
    // Hash and equality honour the compare mode (text keys ignore case in
    // vbTextCompare); both accept KeyId and KeyRef.
    struct KeyHash {
        using is_transparent = void;
        bool ignoreCase = false;
        size_t operator()(const KeyRef& k) const;
        size_t operator()(const KeyId& k) const { return (*this)(k.ref()); }
    };
    struct KeyEqual {
        using is_transparent = void;
        bool ignoreCase = false;
        bool equal(const KeyRef& a, const KeyRef& b) const;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const
        {
            return equal(refOf(a), refOf(b));
        }
        static KeyRef refOf(const KeyRef& k) { return k; }
        static KeyRef refOf(const KeyId& k) { return k.ref(); }
    };

private:
    struct Entry {
        Value key;
        Value item;
        bool live = true;
    };

    using Index = std::unordered_map<KeyId, size_t, KeyHash, KeyEqual>;

    static KeyRef keyRef(const Value& key);
    static KeyId ownedKey(const KeyRef& ref);
    size_t append(const Value& key, const KeyRef& ref, const Value& item);
    void compactIfSparse();
    Index newIndex() const;

    // Declared before index_, whose hash and equality are made from it.
    int compareMode_ = 0;
    std::vector<Entry> entries_; // insertion order; removed entries are dead until compaction
    Index index_;
};

Value makeDictionary(Context& context);

} // namespace quillet::script
