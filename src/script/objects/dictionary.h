// Scripting.Dictionary: an insertion-ordered hash map from keys to items
// (key rules in dictionary_table.h).
//
// Engine hook: CreateObject("Scripting.Dictionary") resolves to
// makeDictionary() (registered by the runtime library with
// BuiltinRegistry::addCreatable).
#pragma once

#include "script/builtins.h"
#include "script/host_object.h"
#include "script/objects/dictionary_table.h"

namespace quillet::script {

class Dictionary : public NativeObject {
public:
    // Made for a script: joins its session (object_registry.h).
    explicit Dictionary(ObjectRegistry* session = nullptr);

    int count() const { return static_cast<int>(table_.size()); }
    bool exists(const Value& key) const { return table_.find(key) != DictionaryTable::npos; }
    void add(const Value& key, const Value& item);     // error 457 when present
    // Item get: a missing key is added with an Empty item.
    Value item(const Value& key);
    void setItem(const Value& key, const Value& item); // adds or replaces
    void rename(const Value& oldKey, const Value& newKey);
    void remove(const Value& key);                     // error 32811 when missing
    void removeAll() { table_.clear(); }
    ElementVector keys() const { return table_.keys(); }
    ElementVector items() const { return table_.items(); }
    int compareMode() const { return compareMode_; }
    void setCompareMode(int mode);                     // error 5 unless empty

    std::unique_ptr<Enumerator> enumerate() override;

protected:
    void dropValues() noexcept override { removeAll(); }

private:
    // Charged first: keeps the meter of the table's storage alive.
    MemoryCharge charge_{sizeof(Dictionary)};
    DictionaryTable table_;
    int compareMode_ = 0;
};

Value makeDictionary(Context& context);

} // namespace quillet::script
