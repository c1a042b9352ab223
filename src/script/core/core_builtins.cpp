#include "script/core/core_builtins.h"

#include "script/core/runtime.h"

namespace quillet::script {
namespace {

Runtime& runtime(Context& c) { return static_cast<Runtime&>(c); }

Value evalBuiltin(Context& c, std::span<Value> args)
{
    return runtime(c).evalText(args[0].toText());
}

Value executeBuiltin(Context& c, std::span<Value> args)
{
    runtime(c).executeText(args[0].toText(), false);
    return Value();
}

Value executeGlobalBuiltin(Context& c, std::span<Value> args)
{
    runtime(c).executeText(args[0].toText(), true);
    return Value();
}

Value getRefBuiltin(Context& c, std::span<Value> args)
{
    return runtime(c).procedureReference(args[0].toText());
}

// Only the objects registered as creatable exist; everything else (shells,
// file systems, other automation servers) is refused as unavailable.
Value createObjectBuiltin(Context& c, std::span<Value> args)
{
    return runtime(c).createObject(args[0].toText());
}

Value getObjectBuiltin(Context&, std::span<Value>)
{
    throw VbError(vberr::CantCreateObject);
}

Value isObjectBuiltin(Context&, std::span<Value> args)
{
    return Value::boolean(args[0].isObject());
}

const BuiltinEntry kCoreBuiltins[] = {
    {u"IsObject", 1, 1, isObjectBuiltin},
    {u"Eval", 1, 1, evalBuiltin},
    {u"Execute", 1, 1, executeBuiltin},
    {u"ExecuteGlobal", 1, 1, executeGlobalBuiltin},
    {u"GetRef", 1, 1, getRefBuiltin},
    {u"CreateObject", 1, 2, createObjectBuiltin},
    {u"GetObject", 0, 2, getObjectBuiltin},
};

} // namespace

void registerCoreBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kCoreBuiltins);
}

} // namespace quillet::script
