// Reading and writing what a resolved name stands for, and array elements.
#include "script/core/invoke.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

namespace quillet::script {

Value Runtime::evalName(const NameRef& n, Frame& f)
{
    switch (n.kind) {
    case NameKind::Local:
        return f.locals[n.slot].deref();
    case NameKind::OuterLocal:
        return f.outer->locals[n.slot].deref();
    case NameKind::OuterExecuted:
        return f.outer->executedValue(n.slot);
    case NameKind::Field:
        return f.me->field(n.slot);
    case NameKind::Constant:
        return n.constant;
    case NameKind::Global: {
        GlobalEntry& g = globalEntry(n);
        switch (g.kind) {
        case GlobalKind::Procedure:
            return callProcedure(*g.proc, nullptr, {});
        case GlobalKind::Undeclared:
            if (optionExplicit_)
                throw VbError(vberr::VariableUndefined);
            return g.value;
        default:
            return g.value;
        }
    }
    case NameKind::ClassMember:
        return invokeScriptMember(*f.me, n.slot, Access::Get, {});
    case NameKind::Builtin:
        return invokeBuiltin(*n.builtin, f, {});
    case NameKind::HostMember: {
        Value object = hostOf(n);
        return object.rawObject()->invoke(n.member, Access::Get, {});
    }
    case NameKind::Unresolved:
        break;
    }
    throw VbError(vberr::VariableUndefined);
}

Value Runtime::globalMe() const
{
    for (const NamedObject& named : namedObjects_) {
        if (named.globalMembers && named.object.isObject())
            return named.object;
    }
    return Value::nothing();
}

const Value& Runtime::hostOf(const NameRef& n) const
{
    const Value& object = namedObjects_[static_cast<size_t>(n.slot)].object;
    if (!object.isObject() || !object.rawObject())
        throw VbError(vberr::ObjectNotSet);
    return object;
}

Value* Runtime::variablePtr(const NameRef& n, Frame& f)
{
    switch (n.kind) {
    case NameKind::Local:
        return &f.locals[n.slot].deref();
    case NameKind::OuterLocal:
        return &f.outer->locals[n.slot].deref();
    case NameKind::OuterExecuted:
        return &f.outer->executedValue(n.slot);
    case NameKind::Field:
        return &f.me->field(n.slot);
    case NameKind::Global: {
        GlobalEntry& g = globalEntry(n);
        if (g.kind == GlobalKind::Variable)
            return &g.value;
        if (g.kind == GlobalKind::Undeclared) {
            if (optionExplicit_)
                throw VbError(vberr::VariableUndefined);
            return &g.value;
        }
        return nullptr;
    }
    default:
        return nullptr;
    }
}

Value* Runtime::elementPtr(Value& arrayValue, std::span<Value> subscripts)
{
    // Evaluate the subscripts before unsharing the storage.
    const SubscriptIndices indices(subscripts);
    ArrayRep* rep = arrayValue.mutableArray();
    return &rep->items[rep->flatIndex(indices.span())];
}

void Runtime::storeElement(Value& arrayValue, std::span<Value> subscripts, Value value)
{
    if (arrayValue.rawArray()->textItems) {
        if (value.isObject())
            throw VbError(vberr::TypeMismatch);
        value = Value::string(value.toText()); // Null: error 94, as for any String
    }
    *elementPtr(arrayValue, subscripts) = std::move(value);
}

void Runtime::assignName(const NameRef& n, Frame& f, Value value, bool isSet)
{
    switch (n.kind) {
    case NameKind::Local:
        f.locals[n.slot].deref() = std::move(value);
        return;
    case NameKind::OuterLocal:
        f.outer->locals[n.slot].deref() = std::move(value);
        return;
    case NameKind::OuterExecuted:
        f.outer->executedValue(n.slot) = std::move(value);
        return;
    case NameKind::Field:
        f.me->field(n.slot) = std::move(value);
        return;
    case NameKind::Global: {
        GlobalEntry& g = globalEntry(n);
        if (g.kind == GlobalKind::Undeclared) {
            if (optionExplicit_)
                throw VbError(vberr::VariableUndefined);
            g.kind = GlobalKind::Variable;
        }
        if (g.kind != GlobalKind::Variable)
            throw VbError(vberr::IllegalAssignment);
        g.value = std::move(value);
        return;
    }
    case NameKind::ClassMember: {
        Value keep[1] = {std::move(value)};
        invokeScriptMember(*f.me, n.slot, isSet ? Access::Set : Access::Let, keep);
        return;
    }
    case NameKind::HostMember: {
        Value object = hostOf(n);
        Value arg[1] = {std::move(value)};
        object.rawObject()->invoke(n.member, isSet ? Access::Set : Access::Let, arg);
        return;
    }
    default:
        throw VbError(vberr::IllegalAssignment);
    }
}

} // namespace quillet::script
