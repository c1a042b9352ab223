// The call instructions.  A call's operands sit on the frame's stack:
// [callee or object][mode][args] (see code.h); the instruction replaces
// them with the result.  Everything is dropped from the top down, the
// arguments before the callee: the most recent temporary goes first.
#include "script/core/invoke.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

#include <typeinfo>

namespace quillet::script {
namespace {

Value modeValue(bool byRef, int member = kNoMember)
{
    if (member == kNoMember)
        return Value::longInt(byRef ? kProcedureMode : -2);
    return Value::longInt(member * 2 + (byRef ? 1 : 0));
}

int modeMember(const Value& mode)
{
    return mode.rawLong() < 0 ? kNoMember : mode.rawLong() >> 1;
}

// An element of a String array written through a reference: back to text,
// as storing into the array would make it.  What cannot become text leaves
// an empty text, and an error unless the call failed anyway.
void settleText(Value& element, bool strict)
{
    if (element.isString())
        return;
    try {
        if (element.isObject())
            throw VbError(vberr::TypeMismatch);
        element = Value::string(element.toText());
    } catch (...) {
        element = Value::string(Text());
        if (strict)
            throw;
    }
}

} // namespace

void Runtime::unlockArguments(Frame& f, const Value* from, bool strict)
{
    if (!f.extras)
        return;
    std::vector<LockedElement>& locked = f.extras->locked;
    while (!locked.empty() && locked.back().argument >= from) {
        const LockedElement l = locked.back();
        locked.pop_back();
        struct Unlock {
            ArrayRep* rep;
            ~Unlock()
            {
                --rep->locks;
                if (--rep->refs == 0)
                    delete rep;
            }
        } unlock{l.rep};
        if (l.rep->textItems)
            settleText(*l.element, strict);
    }
}

Value* Runtime::endCall(Frame& f, Value* callee, Value* args, Value* sp, Value result)
{
    if (f.anyLocked())
        unlockArguments(f, args, true);
    dropTo(callee, sp);
    *callee = std::move(result);
    return callee + 1;
}

Value Runtime::indexed(Value& callee, std::span<Value> args, bool emptyParens)
{
    if (emptyParens && callee.isObject()) {
        if (!callee.rawObject())
            throw VbError(vberr::ObjectNotSet);
        return invokeHost(callee.rawObject(), kDefaultMember, Access::Get, args);
    }
    if (callee.isRef()) {
        // A variable holding an array, indexed (a subscript may have
        // changed it: then it is taken as it is now).
        const Value& holder = *callee.rawRef();
        return holder.isArray() ? elementAt(holder, args) : applyArgs(holder, args);
    }
    return applyArgs(std::move(callee), args);
}

Value* Runtime::index(Frame& f, uint16_t argc, Value* sp, bool emptyParens)
{
    Value* args = sp - argc;
    Value result = indexed(args[-1], std::span<Value>(args, argc), emptyParens);
    return endCall(f, args - 1, args, sp, std::move(result));
}

Value* Runtime::globalPrep(const NameRef& n, bool hasArgs, Value* sp)
{
    GlobalEntry& g = globalEntry(n);
    if (g.kind == GlobalKind::Procedure) {
        sp[0] = Value();
        sp[1] = modeValue(true);
        return sp + 2;
    }
    if (g.kind == GlobalKind::Undeclared) {
        if (optionExplicit_)
            throw VbError(vberr::VariableUndefined);
        if (g.value.isEmpty())
            throw VbError(vberr::TypeMismatch); // calling something never defined
    }
    sp[0] = g.value.isArray() && hasArgs ? Value::ref(&g.value) : g.value;
    sp[1] = modeValue(false);
    return sp + 2;
}

Value* Runtime::globalCall(Frame& f, const NameRef& n, uint16_t argc, Value* sp, bool emptyParens)
{
    Value* args = sp - argc;
    Value* callee = args - 2;
    const std::span<Value> list(args, argc);
    Value result = args[-1].rawLong() == kProcedureMode
                       ? callProcedure(*globalEntry(n).proc, nullptr, list)
                       : indexed(*callee, list, emptyParens);
    return endCall(f, callee, args, sp, std::move(result));
}

Value* Runtime::hostPrep(const NameRef& n, Value* sp)
{
    const Value& object = hostOf(n);
    sp[0] = object;
    sp[1] = modeValue(object.rawObject()->byRefMask(n.member) != 0);
    return sp + 2;
}

Value* Runtime::memberPrep(const MemberSite& m, Value* sp)
{
    const Value& object = sp[-1];
    HostObject* o = object.isObject() ? object.rawObject() : nullptr;
    if (!o || typeid(*o) == typeid(ScriptObject)) {
        // Script objects take every argument by reference; anything else
        // fails when called, after its arguments.
        *sp = modeValue(true);
        return sp + 1;
    }
    // A host member: look it up first, so that arguments are passed by
    // reference only to members that write them back.
    const int member = cachedHostMember(o, m.name, m.cache);
    *sp = modeValue(o->byRefMask(member) != 0, member);
    return sp + 1;
}

Value* Runtime::memberCall(Frame& f, const MemberSite& m, uint16_t argc, bool onMe, Value* sp)
{
    Value* args = sp - argc;
    Value* object = args - 2;
    const std::span<Value> list(args, argc);
    const int member = modeMember(args[-1]);
    Value result = member != kNoMember ? invokeHost(object->rawObject(), member, Access::Get, list)
                                       : invokeOn(*object, m, Access::Get, list, onMe);
    return endCall(f, object, args, sp, std::move(result));
}

Value Runtime::invokeBuiltin(const BuiltinEntry& entry, Frame& f, std::span<Value> args)
{
    if (args.size() < entry.minArgs || args.size() > entry.maxArgs)
        throw VbError(vberr::WrongArgCount);
    Frame* saved = currentFrame_;
    currentFrame_ = &f;
    struct Restore {
        Frame*& slot;
        Frame* value;
        ~Restore() { slot = value; }
    } restore{currentFrame_, saved};
    return entry.function(*this, args);
}

Value* Runtime::callMethod(Frame& f, const NameRef& n, uint16_t argc, Value* sp)
{
    Value* args = sp - argc;
    Value result = invokeScriptMember(*f.me, n.slot, Access::Get, std::span<Value>(args, argc));
    // No callee slot: the result takes the first argument's place.
    return endCall(f, args, args, sp, std::move(result));
}

Value* Runtime::hostCall(Frame& f, const NameRef& n, uint16_t argc, Value* sp)
{
    Value* args = sp - argc;
    Value* object = args - 2;
    Value result = invokeHost(object->rawObject(), n.member, Access::Get, std::span<Value>(args, argc));
    return endCall(f, object, args, sp, std::move(result));
}

Value* Runtime::elementRef(Frame& f, Value& array, Value* callee, uint16_t argc, Value* sp)
{
    Value* subs = sp - argc;
    Value* element = elementPtr(array, std::span<Value>(subs, argc));
    ArrayRep* rep = array.rawArray();
    extrasOf(f).locked.push_back(LockedElement{rep, element, callee});
    ++rep->locks;
    ++rep->refs;
    dropTo(callee, sp);
    *callee = Value::ref(element);
    return callee + 1;
}

} // namespace quillet::script
