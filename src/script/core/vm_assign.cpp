// The assignment instructions for targets with subscripts or members.
// The value was evaluated (and settled by AssignValue) before any part of
// the target; the callee wants it after the subscripts, so the instruction
// moves it to the free stack slot above them.
#include "script/core/invoke.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

namespace quillet::script {
namespace {

Access accessFor(bool isSet)
{
    return isSet ? Access::Set : Access::Let;
}

} // namespace

Value* Runtime::storeMember(const MemberSite& m, uint16_t argc, uint8_t flags, Value* sp)
{
    Value* args = sp - argc;
    Value* object = args - 1;
    Value* value = args - 2;
    *sp = std::move(*value);
    invokeOn(*object, m, accessFor(flags & 1), std::span<Value>(args, argc + 1u), (flags & 2) != 0);
    return dropTo(value, sp + 1);
}

Value* Runtime::indexedPrep(Frame& f, const NameRef& n, Value* sp)
{
    if (Value* holder = variableSlot(n, f)) {
        *sp = Value::ref(holder);
        return sp + 1;
    }
    switch (n.kind) {
    case NameKind::ClassMember:
        *sp = Value();
        return sp + 1;
    case NameKind::HostMember:
        *sp = hostOf(n);
        return sp + 1;
    case NameKind::Global: {
        // A named object or constant indexed: through its default member.
        const Value& object = globalEntry(n).value;
        if (object.isObject() && object.rawObject()) {
            *sp = object;
            return sp + 1;
        }
        break;
    }
    default:
        break;
    }
    throw VbError(vberr::IllegalAssignment);
}

Value* Runtime::storeIndexed(Frame& f, const NameRef& n, uint16_t argc, bool isSet, Value* sp)
{
    Value* args = sp - argc;
    Value& prepared = args[-1];
    Value* value = args - 2;
    const Access access = accessFor(isSet);
    const std::span<Value> withValue(args, argc + 1u);
    if (prepared.isRef()) {
        Value* holder = prepared.rawRef();
        if (holder->isArray()) {
            storeElement(*holder, std::span<Value>(args, argc), std::move(*value));
        } else if (holder->isObject() && holder->rawObject()) {
            Value object = *holder;
            *sp = std::move(*value);
            invokeHost(object.rawObject(), kDefaultMember, access, withValue);
        } else {
            throw VbError(vberr::TypeMismatch);
        }
    } else if (n.kind == NameKind::ClassMember) {
        *sp = std::move(*value);
        invokeScriptMember(*f.me, n.slot, access, withValue);
    } else {
        *sp = std::move(*value);
        const int member = n.kind == NameKind::HostMember ? n.member : kDefaultMember;
        invokeHost(prepared.rawObject(), member, access, withValue);
    }
    return dropTo(value, sp + 1);
}

Value* Runtime::storeNested(Frame& f, const NameRef& base, const NestedSite& site, uint16_t argc, bool isSet, Value* sp)
{
    Value* outer = sp - argc;
    size_t innerCount = 0;
    for (uint16_t c : site.counts)
        innerCount += c;
    Value* subs = outer - innerCount;
    Value* value = subs - 1;
    Value* slot = variablePtr(base, f);
    if (!slot)
        throw VbError(vberr::IllegalAssignment);
    // Values read through objects on the way live here.
    Value temporary;
    for (uint16_t c : site.counts) {
        const std::span<Value> level(subs, c);
        if (slot->isArray() && c > 0) {
            slot = elementPtr(*slot, level);
        } else {
            // An object (or a default property giving one): read through it;
            // what it returns is a copy, so writes go to the object it holds.
            temporary = applyArgs(*slot, level);
            slot = &temporary;
        }
        subs += c;
    }
    if (slot->isArray()) {
        storeElement(*slot, std::span<Value>(outer, argc), std::move(*value));
    } else if (slot->isObject() && slot->rawObject()) {
        Value object = *slot;
        *sp = std::move(*value);
        invokeHost(object.rawObject(), kDefaultMember, accessFor(isSet), std::span<Value>(outer, argc + 1u));
    } else {
        throw VbError(vberr::TypeMismatch);
    }
    return dropTo(value, sp + 1);
}

Value* Runtime::storeDefault(uint16_t argc, bool isSet, Value* sp)
{
    Value* args = sp - argc;
    Value* object = args - 1;
    Value* value = args - 2;
    *sp = std::move(*value);
    invokeHost(object->rawObject(), kDefaultMember, accessFor(isSet), std::span<Value>(args, argc + 1u));
    return dropTo(value, sp + 1);
}

} // namespace quillet::script
