// Calls of script procedures and members, and the checks every call makes.
#include "script/core/arg_list.h"
#include "script/core/invoke.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"
#include "script/core/slot_stack.h"

#include <typeinfo>

namespace quillet::script {

SubscriptIndices::SubscriptIndices(std::span<Value> subscripts) : size_(subscripts.size())
{
    if (size_ > std::size(fixed_)) {
        many_.resize(size_);
        data_ = many_.data();
    }
    for (size_t i = 0; i < size_; ++i)
        data_[i] = subscripts[i].deref().toInt32();
}

const Value& elementAt(const Value& array, std::span<Value> subscripts)
{
    const SubscriptIndices indices(subscripts);
    const ArrayRep* rep = array.rawArray();
    return rep->items[rep->flatIndex(indices.span())];
}

int cachedHostMember(HostObject* o, const Text& name, MemberCache& cache)
{
    // An object whose table is itself has members of its own (no sharing).
    const void* table = o->memberTable();
    int member;
    if (table != o && cache.table == table) {
        member = cache.member;
    } else {
        member = o->findMember(name);
        if (table != o) {
            cache.table = table;
            cache.member = member;
        }
    }
    if (member == kNoMember)
        throw VbError(vberr::NoSuchMember);
    return member;
}

Value invokeHost(HostObject* object, int member, Access access, std::span<Value> args)
{
    bool anyRef = false;
    for (const Value& a : args)
        anyRef = anyRef || a.isRef();
    if (!anyRef)
        return object->invoke(member, access, args);
    const uint32_t mask = object->byRefMask(member);
    Value* targets[32] = {};
    for (size_t i = 0; i < args.size(); ++i) {
        if (!args[i].isRef())
            continue;
        Value* target = args[i].rawRef();
        args[i] = *target;
        if (i < 32 && ((mask >> i) & 1u))
            targets[i] = target;
    }
    Value result = object->invoke(member, access, args);
    for (size_t i = 0; i < args.size() && i < 32; ++i) {
        if (targets[i])
            *targets[i] = args[i];
    }
    return result;
}

void Runtime::stopRun() const
{
    if (stopFlag_->load(std::memory_order_relaxed))
        throw StopSignal{kStopErrorNumber, u"Script stopped on request"};
    throw StopSignal{kStopErrorNumber, u"Script stopped: it ran longer than allowed"};
}

Value Runtime::callProcedure(Procedure& proc, ScriptObject* me, std::span<Value> args)
{
    if (args.size() != proc.paramCount)
        throw VbError(vberr::WrongArgCount);
    enterCall();
    CallDepth depth{callRoom_};
    CallSlots slots(slots_, frameSize(proc), proc.localCount);
    Value* locals = slots.data();
    // The slots are Empty: each argument is made in place, no old value
    // to let go of.
    const Param* params = proc.params.data();
    for (size_t i = 0; i < args.size(); ++i) {
        Value& arg = args[i];
        if (arg.isMissing())
            throw VbError(vberr::WrongArgCount);
        if (params[i].byVal)
            ::new (static_cast<void*>(locals + i)) Value(arg.deref());
        else
            ::new (static_cast<void*>(locals + i)) Value(std::move(arg));
    }
    return runFrame(proc, me, locals);
}

Value Runtime::applyArgs(Value target, std::span<Value> args)
{
    if (target.isArray()) {
        if (args.size() == 0)
            return target;
        return elementAt(target, args);
    }
    if (target.isObject()) {
        if (args.size() == 0)
            return target;
        if (!target.rawObject())
            throw VbError(vberr::ObjectNotSet);
        return invokeHost(target.rawObject(), kDefaultMember, Access::Get, args);
    }
    if (args.size() == 0)
        return target;
    throw VbError(vberr::TypeMismatch);
}

Value Runtime::invokeOn(const Value& object, const MemberSite& m, Access access, std::span<Value> args, bool internal)
{
    // A member of Nothing is "Object required", as of anything but an object.
    HostObject* o = object.isObject() ? object.rawObject() : nullptr;
    if (!o)
        throw VbError(vberr::ObjectRequired);
    MemberCache& cache = m.cache;
    if (typeid(*o) == typeid(ScriptObject)) {
        auto* so = static_cast<ScriptObject*>(o);
        ClassDef& cls = so->cls();
        if (cache.table != &cls) {
            auto it = cls.memberIndex.find(lowerCase(m.name));
            cache.member = it == cls.memberIndex.end() ? kNoMember : it->second;
            cache.table = &cls;
        }
        if (cache.member == kNoMember || (!internal && !cls.members[static_cast<size_t>(cache.member)].isPublic))
            throw VbError(vberr::NoSuchMember);
        return invokeScriptMember(*so, cache.member, access, args);
    }
    return invokeHost(o, cachedHostMember(o, m.name, cache), access, args);
}

Value Runtime::applyArgValues(Value target, std::span<Value> args)
{
    ArgList values;
    for (Value& v : args)
        values.push(v.deref());
    return applyArgs(std::move(target), values.span());
}

Value Runtime::invokeScriptMember(ScriptObject& object, int index, Access access, std::span<Value> args)
{
    ClassDef& cls = object.cls();
    if (index < 0 || static_cast<size_t>(index) >= cls.members.size() || (index == 0 && !cls.hasDefault))
        throw VbError(vberr::NoSuchMember);
    // Keep the object alive while one of its members runs.
    Value keep = Value::object(&object);
    const ClassMember& m = cls.members[static_cast<size_t>(index)];
    if (m.field >= 0) {
        Value& field = object.field(m.field);
        if (access == Access::Get) {
            if (args.empty())
                return field;
            return applyArgValues(field, args);
        }
        Value value = args.back().deref();
        if (access == Access::Set && !value.isObject())
            throw VbError(vberr::ObjectRequired);
        if (access == Access::Let && value.isObject())
            value = value.withoutObject();
        if (args.size() == 1) {
            field = std::move(value);
            return Value();
        }
        if (field.isArray()) {
            storeElement(field, args.first(args.size() - 1), std::move(value));
            return Value();
        }
        if (field.isObject() && field.rawObject())
            return invokeHost(field.rawObject(), kDefaultMember, access, args);
        throw VbError(vberr::TypeMismatch);
    }
    switch (access) {
    case Access::Get: {
        Procedure* p = m.get ? m.get : m.method;
        if (!p)
            throw VbError(vberr::NoSuchMember);
        if (p->params.empty() && !args.empty()) {
            return applyArgValues(callProcedure(*p, &object, {}), args);
        }
        return callProcedure(*p, &object, args);
    }
    case Access::Let:
        if (m.let) {
            callProcedure(*m.let, &object, args);
            return Value();
        }
        if (m.set && args.back().deref().isObject()) {
            callProcedure(*m.set, &object, args);
            return Value();
        }
        throw VbError(m.get || m.method ? vberr::IllegalAssignment : vberr::NoSuchMember);
    case Access::Set:
        if (m.set) {
            callProcedure(*m.set, &object, args);
            return Value();
        }
        if (m.let) {
            callProcedure(*m.let, &object, args);
            return Value();
        }
        throw VbError(m.get || m.method ? vberr::IllegalAssignment : vberr::NoSuchMember);
    }
    return Value();
}

Value Runtime::evalNew(const Text& className)
{
    auto it = classes_.find(lowerCase(className));
    if (it == classes_.end()) {
        if (ObjectFactory factory = registry_.classFactory(className))
            return factory(*this);
        throw VbError(vberr::ClassNotDefined);
    }
    ClassDef& cls = *it->second.cls;
    Value object = makeObject<ScriptObject>(cls, link_, it->second.unit);
    if (cls.initialize)
        callProcedure(*cls.initialize, static_cast<ScriptObject*>(object.rawObject()), {});
    return object;
}

} // namespace quillet::script
