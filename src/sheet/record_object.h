// The script object of one record of the character (the character, its
// race, an item, an item list, the lists).  It holds a shared reference to
// the record, so a script may keep it after the character was replaced;
// its members come from the class table `buildClass` makes, once for all
// objects of the kind.  A record
// that is a collection passes `walk`, which makes For Each go through it;
// without it For Each is error 451, as for any object that is no
// collection.
#pragma once

#include "script/host_object.h"

#include <memory>

namespace quillet {

template <typename Record, script::NativeClass (*buildClass)(),
          std::unique_ptr<script::Enumerator> (*walk)(const std::shared_ptr<Record>&) = nullptr>
class RecordObject : public script::NativeObject {
public:
    explicit RecordObject(std::shared_ptr<Record> record) : NativeObject(table()), record_(std::move(record)) {}

    // A new script object showing `record`.
    static script::Value wrap(std::shared_ptr<Record> record)
    {
        return script::makeObject<RecordObject>(std::move(record));
    }

    // The record of `self`, in the member functions of the class (which
    // only ever see objects of this kind).
    static Record& of(script::NativeObject& self) { return *static_cast<RecordObject&>(self).record_; }

    // The record a script value shows, or nullptr when the value is no
    // object of this kind (another object, Nothing, a number...).
    static std::shared_ptr<Record> sharedOf(const script::Value& value)
    {
        const script::Value& v = value.deref();
        if (!v.isObject() || v.isNothing())
            return nullptr;
        auto* object = dynamic_cast<RecordObject*>(v.rawObject());
        return object ? object->record_ : nullptr;
    }

    std::unique_ptr<script::Enumerator> enumerate() override
    {
        if constexpr (walk != nullptr)
            return walk(record_);
        else
            return nullptr;
    }

private:
    static const script::NativeClass& table()
    {
        static const script::NativeClass cls = buildClass();
        return cls;
    }

    std::shared_ptr<Record> record_;
};

} // namespace quillet
