#include "script/builtins.h"

namespace quillet::script {

void BuiltinRegistry::addFunction(const BuiltinEntry& entry)
{
    Text key = lowerCase(entry.name);
    StoredEntry stored{Text(entry.name), entry};
    stored.entry.name = TextView();
    auto [it, inserted] = functions_.insert_or_assign(std::move(key), std::move(stored));
    // The view must point at our own copy of the name.
    it->second.entry.name = it->second.name;
    (void)inserted;
}

void BuiltinRegistry::addFunctions(std::span<const BuiltinEntry> entries)
{
    for (const BuiltinEntry& entry : entries)
        addFunction(entry);
}

void BuiltinRegistry::addConstant(TextView name, Value value)
{
    constants_.insert_or_assign(lowerCase(name), std::move(value));
}

void BuiltinRegistry::addCreatable(TextView progId, ObjectFactory factory)
{
    creatables_.insert_or_assign(lowerCase(progId), factory);
}

void BuiltinRegistry::addClass(TextView name, ObjectFactory factory)
{
    classes_.insert_or_assign(lowerCase(name), factory);
}

const BuiltinEntry* BuiltinRegistry::function(TextView name) const
{
    auto it = functions_.find(lowerCase(name));
    return it == functions_.end() ? nullptr : &it->second.entry;
}

const Value* BuiltinRegistry::constant(TextView name) const
{
    auto it = constants_.find(lowerCase(name));
    return it == constants_.end() ? nullptr : &it->second;
}

ObjectFactory BuiltinRegistry::creatable(TextView progId) const
{
    auto it = creatables_.find(lowerCase(progId));
    return it == creatables_.end() ? nullptr : it->second;
}

ObjectFactory BuiltinRegistry::classFactory(TextView name) const
{
    auto it = classes_.find(lowerCase(name));
    return it == classes_.end() ? nullptr : it->second;
}

} // namespace quillet::script
