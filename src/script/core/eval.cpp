// Expressions, calls and assignments.
#include "script/core/arg_list.h"
#include "script/core/err_object.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

#include <cmath>
#include <typeinfo>

namespace quillet::script {
namespace {

// Reads an array element without unsharing the storage.
const Value& elementAt(const Value& array, std::span<Value> subscripts)
{
    const ArrayRep* rep = array.rawArray();
    int32_t fixed[8];
    std::vector<int32_t> many;
    int32_t* idx = fixed;
    if (subscripts.size() > 8) {
        many.resize(subscripts.size());
        idx = many.data();
    }
    for (size_t i = 0; i < subscripts.size(); ++i)
        idx[i] = subscripts[i].deref().toInt32();
    return rep->items[rep->flatIndex(std::span<const int32_t>(idx, subscripts.size()))];
}

// Calls a host object, copying by-reference arguments back afterwards.
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

bool bothWhole(const Value& a, const Value& b)
{
    return (a.type() == Type::Integer || a.type() == Type::Long) &&
           (b.type() == Type::Integer || b.type() == Type::Long);
}

Value wholeSum(int64_t r, bool narrow)
{
    if (narrow && r >= INT16_MIN && r <= INT16_MAX)
        return Value::integer(static_cast<int16_t>(r));
    if (r >= INT32_MIN && r <= INT32_MAX)
        return Value::longInt(static_cast<int32_t>(r));
    return Value::dbl(static_cast<double>(r));
}

} // namespace

void Runtime::enterCall()
{
    if (++depth_ > limits_.maxCallDepth) {
        --depth_;
        throw VbError(vberr::OutOfStack);
    }
    char probe;
    if (stackBase_ && stackBase_ - &probe > static_cast<std::ptrdiff_t>(limits_.stackBytes)) {
        --depth_;
        throw VbError(vberr::OutOfStack);
    }
    try {
        checkStep();
    } catch (...) {
        --depth_;
        throw;
    }
}

void Runtime::checkStep()
{
    if (stopFlag_ && stopFlag_->load(std::memory_order_relaxed))
        throw StopSignal{kStopErrorNumber, u"Script stopped on request"};
    if (limits_.stepBudget && ++steps_ > limits_.stepBudget)
        throw StopSignal{kStopErrorNumber, u"Script stopped: it ran longer than allowed"};
}

Value Runtime::callProcedure(Procedure& proc, ScriptObject* me, std::span<Value> args)
{
    if (args.size() != proc.params.size())
        throw VbError(vberr::WrongArgCount);
    enterCall();
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{depth_};

    // Locals and the value stack in one block, on the C++ stack when small.
    const Code& code = *proc.code;
    const size_t slots = static_cast<size_t>(proc.localCount) + static_cast<size_t>(code.maxStack);
    constexpr size_t kInlineSlots = 12;
    Value inlineSlots[kInlineSlots];
    std::unique_ptr<Value[]> heapSlots;
    Value* locals = inlineSlots;
    if (slots > kInlineSlots) {
        heapSlots = std::make_unique<Value[]>(slots);
        locals = heapSlots.get();
    }
    for (size_t i = 0; i < args.size(); ++i) {
        Value& arg = args[i];
        if (arg.isMissing())
            throw VbError(vberr::WrongArgCount);
        if (proc.params[i].byVal)
            locals[i] = arg.deref();
        else
            locals[i] = std::move(arg);
    }
    Frame f;
    f.locals = locals;
    f.stack = locals + proc.localCount;
    f.proc = &proc;
    f.me = me;
    execute(f, code);
    if (proc.resultSlot >= 0)
        return std::move(locals[proc.resultSlot].deref());
    return Value();
}

Value Runtime::eval(const Expr& e, Frame& f)
{
    switch (e.kind) {
    case ExprKind::Literal:
        return static_cast<const LiteralExpr&>(e).value;
    case ExprKind::Name:
        return evalName(static_cast<const NameExpr&>(e), f);
    case ExprKind::Call:
        return evalCall(static_cast<const CallExpr&>(e), f);
    case ExprKind::Member:
        return callMember(static_cast<const MemberExpr&>(e), f, nullptr);
    case ExprKind::Me:
        return Value::object(f.me);
    case ExprKind::New:
        return evalNew(static_cast<const NewExpr&>(e));
    case ExprKind::Paren:
        return eval(*static_cast<const ParenExpr&>(e).inner, f);
    case ExprKind::Unary: {
        const auto& u = static_cast<const UnaryExpr&>(e);
        return unaryOp(u.op, eval(*u.operand, f));
    }
    case ExprKind::Binary: {
        const auto& b = static_cast<const BinaryExpr&>(e);
        Value left = eval(*b.left, f);
        Value right = eval(*b.right, f);
        switch (b.op) {
        case Op::Concat:
            if (left.isString() && !right.isArray() && !right.isObject()) {
                if (right.isString())
                    left.appendText(right.rawText());
                else if (!right.isNull())
                    left.appendText(right.toText());
                return left;
            }
            return binaryOp(b.op, left, right);
        case Op::Add:
            if (bothWhole(left, right))
                return wholeSum(int64_t(left.rawLong()) + right.rawLong(),
                                left.type() == Type::Integer && right.type() == Type::Integer);
            if (left.type() == Type::Double && right.type() == Type::Double)
                return Value::dbl(left.rawDouble() + right.rawDouble());
            return binaryOp(b.op, left, right);
        case Op::Sub:
            if (bothWhole(left, right))
                return wholeSum(int64_t(left.rawLong()) - right.rawLong(),
                                left.type() == Type::Integer && right.type() == Type::Integer);
            return binaryOp(b.op, left, right);
        case Op::Mul:
            if (bothWhole(left, right))
                return wholeSum(int64_t(left.rawLong()) * right.rawLong(),
                                left.type() == Type::Integer && right.type() == Type::Integer);
            return binaryOp(b.op, left, right);
        case Op::Eq: case Op::Ne: case Op::Lt: case Op::Gt: case Op::Le: case Op::Ge:
            if (bothWhole(left, right)) {
                const int32_t x = left.rawLong(), y = right.rawLong();
                switch (b.op) {
                case Op::Eq: return Value::boolean(x == y);
                case Op::Ne: return Value::boolean(x != y);
                case Op::Lt: return Value::boolean(x < y);
                case Op::Gt: return Value::boolean(x > y);
                case Op::Le: return Value::boolean(x <= y);
                default: return Value::boolean(x >= y);
                }
            }
            return comparisonOp(b.op, left, right, b.leftLiteral, b.rightLiteral);
        case Op::Div:
            if (bothWhole(left, right) && right.rawLong() != 0)
                return Value::dbl(static_cast<double>(left.rawLong()) / right.rawLong());
            if (left.type() == Type::Double && right.type() == Type::Double && right.rawDouble() != 0.0) {
                const double r = left.rawDouble() / right.rawDouble();
                if (std::isfinite(r))
                    return Value::dbl(r);
            }
            return binaryOp(b.op, left, right);
        case Op::Mod:
        case Op::IntDiv:
            if (bothWhole(left, right) && right.rawLong() != 0 && right.rawLong() != -1) {
                const int32_t x = left.rawLong(), y = right.rawLong();
                return wholeSum(b.op == Op::Mod ? x % y : x / y,
                                left.type() == Type::Integer && right.type() == Type::Integer);
            }
            return binaryOp(b.op, left, right);
        case Op::Is:
            return Value::boolean(sameObject(left, right));
        default:
            return binaryOp(b.op, left, right);
        }
    }
    }
    return Value();
}

Value Runtime::evalName(const NameExpr& n, Frame& f)
{
    switch (n.resolved) {
    case NameKind::Local:
        return f.locals[n.slot].deref();
    case NameKind::OuterLocal:
        return f.outer->locals[n.slot].deref();
    case NameKind::OuterExecuted:
        return (*f.outer->executedLocals)[static_cast<size_t>(n.slot)].value;
    case NameKind::Field:
        return f.me->field(n.slot);
    case NameKind::Constant:
        return n.constant;
    case NameKind::Global: {
        GlobalEntry& g = globals_[static_cast<size_t>(n.slot)];
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
        return callBuiltin(*n.builtin, f, nullptr);
    case NameKind::HostMember: {
        Value object = namedObjects_[static_cast<size_t>(n.slot)].object;
        return object.rawObject()->invoke(n.member, Access::Get, {});
    }
    case NameKind::Unresolved:
        break;
    }
    throw VbError(vberr::VariableUndefined);
}

Value* Runtime::variablePtr(const NameExpr& n, Frame& f)
{
    switch (n.resolved) {
    case NameKind::Local:
        return &f.locals[n.slot].deref();
    case NameKind::OuterLocal:
        return &f.outer->locals[n.slot].deref();
    case NameKind::OuterExecuted:
        return &(*f.outer->executedLocals)[static_cast<size_t>(n.slot)].value;
    case NameKind::Field:
        return &f.me->field(n.slot);
    case NameKind::Global: {
        GlobalEntry& g = globals_[static_cast<size_t>(n.slot)];
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
    int32_t fixed[8];
    std::vector<int32_t> many;
    int32_t* idx = fixed;
    if (subscripts.size() > 8) {
        many.resize(subscripts.size());
        idx = many.data();
    }
    for (size_t i = 0; i < subscripts.size(); ++i)
        idx[i] = subscripts[i].deref().toInt32();
    ArrayRep* rep = arrayValue.mutableArray();
    return &rep->items[rep->flatIndex(std::span<const int32_t>(idx, subscripts.size()))];
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

void Runtime::evalArgs(const std::vector<ExprPtr>* args, Frame& f, ArgList& out, bool byRef)
{
    if (!args)
        return;
    for (const ExprPtr& a : *args) {
        if (!a) {
            out.push(Value::missing());
            continue;
        }
        if (byRef) {
            if (a->kind == ExprKind::Name) {
                if (Value* p = variablePtr(static_cast<const NameExpr&>(*a), f)) {
                    out.push(Value::ref(p));
                    continue;
                }
            } else if (a->kind == ExprKind::Call) {
                // An array element passes by reference too.
                const auto& c = static_cast<const CallExpr&>(*a);
                if (c.target->kind == ExprKind::Name && !c.args.empty()) {
                    Value* p = variablePtr(static_cast<const NameExpr&>(*c.target), f);
                    // An element of a String array goes by value: a write
                    // through the reference could store a non-String in it.
                    if (p && p->isArray() && !p->rawArray()->textItems) {
                        ArgList subs;
                        evalArgs(&c.args, f, subs, false);
                        Value* element = elementPtr(*p, subs.span());
                        out.lock(p->rawArray());
                        out.push(Value::ref(element));
                        continue;
                    }
                }
            }
        }
        out.push(eval(*a, f));
    }
}

Value Runtime::applyArgs(Value target, ArgList& args)
{
    if (target.isArray()) {
        if (args.size() == 0)
            return target;
        return elementAt(target, args.span());
    }
    if (target.isObject()) {
        if (args.size() == 0)
            return target;
        if (!target.rawObject())
            throw VbError(vberr::ObjectNotSet);
        return invokeHost(target.rawObject(), kDefaultMember, Access::Get, args.span());
    }
    if (args.size() == 0)
        return target;
    throw VbError(vberr::TypeMismatch);
}

Value Runtime::evalCall(const CallExpr& c, Frame& f)
{
    const Expr& t = *c.target;
    if (t.kind == ExprKind::Name)
        return callName(static_cast<const NameExpr&>(t), f, &c.args);
    if (t.kind == ExprKind::Member)
        return callMember(static_cast<const MemberExpr&>(t), f, &c.args);
    Value target = eval(t, f);
    ArgList args;
    evalArgs(&c.args, f, args, false);
    return applyArgs(std::move(target), args);
}

Value Runtime::callName(const NameExpr& n, Frame& f, const std::vector<ExprPtr>* args)
{
    switch (n.resolved) {
    case NameKind::Local:
    case NameKind::OuterLocal:
    case NameKind::OuterExecuted:
    case NameKind::Field: {
        const Value* holder = variablePtr(n, f);
        if (holder->isArray() && args && !args->empty()) {
            ArgList subs;
            evalArgs(args, f, subs, false);
            return elementAt(*variablePtr(n, f), subs.span());
        }
        Value v = *holder;
        ArgList a;
        evalArgs(args, f, a, false);
        return applyArgs(std::move(v), a);
    }
    case NameKind::Global: {
        GlobalEntry& g = globals_[static_cast<size_t>(n.slot)];
        if (g.kind == GlobalKind::Procedure) {
            ArgList a;
            evalArgs(args, f, a, true);
            return callProcedure(*g.proc, nullptr, a.span());
        }
        if (g.kind == GlobalKind::Undeclared) {
            if (optionExplicit_)
                throw VbError(vberr::VariableUndefined);
            if (g.value.isEmpty())
                throw VbError(vberr::TypeMismatch); // calling something never defined
        }
        if (g.value.isArray() && args && !args->empty()) {
            ArgList subs;
            evalArgs(args, f, subs, false);
            return elementAt(g.value, subs.span());
        }
        Value v = g.value;
        ArgList a;
        evalArgs(args, f, a, false);
        return applyArgs(std::move(v), a);
    }
    case NameKind::Constant: {
        ArgList a;
        evalArgs(args, f, a, false);
        return applyArgs(n.constant, a);
    }
    case NameKind::ClassMember: {
        ArgList a;
        evalArgs(args, f, a, true);
        return invokeScriptMember(*f.me, n.slot, Access::Get, a.span());
    }
    case NameKind::Builtin:
        return callBuiltin(*n.builtin, f, args);
    case NameKind::HostMember: {
        Value object = namedObjects_[static_cast<size_t>(n.slot)].object;
        ArgList a;
        evalArgs(args, f, a, object.rawObject()->byRefMask(n.member) != 0);
        return invokeHost(object.rawObject(), n.member, Access::Get, a.span());
    }
    case NameKind::Unresolved:
        break;
    }
    throw VbError(vberr::VariableUndefined);
}

Value Runtime::callBuiltin(const BuiltinEntry& entry, Frame& f, const std::vector<ExprPtr>* args)
{
    ArgList a;
    evalArgs(args, f, a, false);
    if (a.size() < entry.minArgs || a.size() > entry.maxArgs)
        throw VbError(vberr::WrongArgCount);
    Frame* saved = currentFrame_;
    currentFrame_ = &f;
    struct Restore {
        Frame*& slot;
        Frame* value;
        ~Restore() { slot = value; }
    } restore{currentFrame_, saved};
    return entry.function(*this, a.span());
}

Value Runtime::memberTarget(const MemberExpr& m, Frame& f)
{
    if (m.object)
        return eval(*m.object, f);
    return f.locals[m.withSlot];
}

Value Runtime::callMember(const MemberExpr& m, Frame& f, const std::vector<ExprPtr>* args)
{
    Value object = memberTarget(m, f);
    ArgList a;
    HostObject* o = object.isObject() ? object.rawObject() : nullptr;
    if (o && typeid(*o) != typeid(ScriptObject)) {
        // A host member: look it up first, so that arguments are passed by
        // reference only to members that write them back.
        const void* table = o->memberTable();
        auto& cache = const_cast<MemberCache&>(m.cache);
        int member;
        if (table != o && cache.table == table) {
            member = cache.member;
        } else {
            member = o->findMember(m.name);
            if (table != o) {
                cache.table = table;
                cache.member = member;
            }
        }
        if (member == kNoMember)
            throw VbError(vberr::NoSuchMember);
        evalArgs(args, f, a, o->byRefMask(member) != 0);
        return invokeHost(o, member, Access::Get, a.span());
    }
    evalArgs(args, f, a, true);
    const bool internal = m.object && m.object->kind == ExprKind::Me;
    return invokeOn(object, m, Access::Get, a, internal);
}

Value Runtime::invokeOn(const Value& object, const MemberExpr& m, Access access, ArgList& args, bool internal)
{
    if (!object.isObject())
        throw VbError(vberr::ObjectRequired);
    HostObject* o = object.rawObject();
    if (!o)
        throw VbError(vberr::ObjectNotSet);
    auto& cache = const_cast<MemberCache&>(m.cache);
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
        return invokeScriptMember(*so, cache.member, access, args.span());
    }
    const void* table = o->memberTable();
    int member;
    if (table != o && cache.table == table) {
        member = cache.member;
    } else {
        member = o->findMember(m.name);
        if (table != o) {
            cache.table = table;
            cache.member = member;
        }
    }
    if (member == kNoMember)
        throw VbError(vberr::NoSuchMember);
    return invokeHost(o, member, access, args.span());
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
            ArgList a;
            for (Value& v : args)
                a.push(v.deref());
            return applyArgs(field, a);
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
            Value result = callProcedure(*p, &object, {});
            ArgList a;
            for (Value& v : args)
                a.push(v.deref());
            return applyArgs(std::move(result), a);
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

Value Runtime::evalNew(const NewExpr& n)
{
    auto it = classes_.find(lowerCase(n.className));
    if (it == classes_.end()) {
        if (ObjectFactory factory = registry_.classFactory(n.className))
            return factory(*this);
        throw VbError(vberr::ClassNotDefined);
    }
    ClassDef& cls = *it->second.cls;
    Value object = makeObject<ScriptObject>(cls, link_, it->second.unit);
    if (cls.initialize)
        callProcedure(*cls.initialize, static_cast<ScriptObject*>(object.rawObject()), {});
    return object;
}

void Runtime::assign(const Expr& target, Frame& f, Value value, bool isSet)
{
    if (isSet) {
        if (!value.isObject())
            throw VbError(vberr::ObjectRequired);
    } else if (value.isObject()) {
        value = value.withoutObject();
    }
    const Access access = isSet ? Access::Set : Access::Let;
    switch (target.kind) {
    case ExprKind::Name:
        assignName(static_cast<const NameExpr&>(target), f, std::move(value), isSet);
        return;
    case ExprKind::Member: {
        const auto& m = static_cast<const MemberExpr&>(target);
        Value object = memberTarget(m, f);
        ArgList a;
        a.push(std::move(value));
        invokeOn(object, m, access, a, m.object && m.object->kind == ExprKind::Me);
        return;
    }
    case ExprKind::Call: {
        const auto& c = static_cast<const CallExpr&>(target);
        if (c.target->kind == ExprKind::Member) {
            const auto& m = static_cast<const MemberExpr&>(*c.target);
            Value object = memberTarget(m, f);
            ArgList a;
            evalArgs(&c.args, f, a, false);
            a.push(std::move(value));
            invokeOn(object, m, access, a, m.object && m.object->kind == ExprKind::Me);
            return;
        }
        if (c.target->kind == ExprKind::Name) {
            const auto& n = static_cast<const NameExpr&>(*c.target);
            if (Value* holder = variablePtr(n, f)) {
                ArgList a;
                evalArgs(&c.args, f, a, false);
                holder = variablePtr(n, f);
                if (holder->isArray()) {
                    storeElement(*holder, a.span(), std::move(value));
                    return;
                }
                if (holder->isObject() && holder->rawObject()) {
                    Value object = *holder;
                    a.push(std::move(value));
                    invokeHost(object.rawObject(), kDefaultMember, access, a.span());
                    return;
                }
                throw VbError(vberr::TypeMismatch);
            }
            if (n.resolved == NameKind::ClassMember) {
                ArgList a;
                evalArgs(&c.args, f, a, false);
                a.push(std::move(value));
                invokeScriptMember(*f.me, n.slot, access, a.span());
                return;
            }
            if (n.resolved == NameKind::HostMember) {
                Value object = namedObjects_[static_cast<size_t>(n.slot)].object;
                ArgList a;
                evalArgs(&c.args, f, a, false);
                a.push(std::move(value));
                invokeHost(object.rawObject(), n.member, access, a.span());
                return;
            }
            if (n.resolved == NameKind::Global) {
                // A named object or constant indexed: through its default member.
                Value object = globals_[static_cast<size_t>(n.slot)].value;
                if (object.isObject() && object.rawObject()) {
                    ArgList a;
                    evalArgs(&c.args, f, a, false);
                    a.push(std::move(value));
                    invokeHost(object.rawObject(), kDefaultMember, access, a.span());
                    return;
                }
            }
            throw VbError(vberr::IllegalAssignment);
        }
        // `a(1)(2) = x`: when the chain starts at a variable, an array held
        // in an array element is written in place.
        if (c.target->kind == ExprKind::Call) {
            Value temporary;
            ArgList a;
            if (Value* holder = nestedSlot(static_cast<const CallExpr&>(*c.target), f, &c.args, a, temporary)) {
                if (holder->isArray()) {
                    storeElement(*holder, a.span(), std::move(value));
                    return;
                }
                if (holder->isObject() && holder->rawObject()) {
                    Value object = *holder;
                    a.push(std::move(value));
                    invokeHost(object.rawObject(), kDefaultMember, access, a.span());
                    return;
                }
                throw VbError(vberr::TypeMismatch);
            }
        }
        // Anything else (`f(1)(2) = x`, `o.Items(1)(2) = x`): the inner part
        // is only read, so it must give an object to assign through.
        Value object = eval(*c.target, f);
        if (!object.isObject() || !object.rawObject())
            throw VbError(vberr::ObjectRequired);
        ArgList a;
        evalArgs(&c.args, f, a, false);
        a.push(std::move(value));
        invokeHost(object.rawObject(), kDefaultMember, access, a.span());
        return;
    }
    default:
        throw VbError(vberr::IllegalAssignment);
    }
}

Value* Runtime::nestedSlot(const CallExpr& inner, Frame& f, const std::vector<ExprPtr>* outerArgs, ArgList& outerSubs,
                           Value& temporary)
{
    std::vector<const CallExpr*> chain; // outermost first
    const Expr* e = &inner;
    while (e->kind == ExprKind::Call) {
        chain.push_back(static_cast<const CallExpr*>(e));
        e = static_cast<const CallExpr*>(e)->target.get();
    }
    if (e->kind != ExprKind::Name)
        return nullptr;
    const auto& n = static_cast<const NameExpr&>(*e);
    if (!variablePtr(n, f))
        return nullptr;
    // Every subscript is evaluated, left to right, before any storage is
    // unshared or any element address taken: a subscript may call code
    // that reassigns the variable.
    std::vector<std::unique_ptr<ArgList>> subs(chain.size());
    for (size_t i = chain.size(); i-- > 0;) {
        subs[i] = std::make_unique<ArgList>();
        evalArgs(&chain[i]->args, f, *subs[i], false);
    }
    evalArgs(outerArgs, f, outerSubs, false);
    Value* slot = variablePtr(n, f);
    for (size_t i = chain.size(); i-- > 0;) {
        if (slot->isArray() && subs[i]->size() > 0) {
            slot = elementPtr(*slot, subs[i]->span());
        } else {
            // An object (or a default property giving one): read through it;
            // what it returns is a copy, so writes go to the object it holds.
            temporary = applyArgs(*slot, *subs[i]);
            slot = &temporary;
        }
    }
    return slot;
}

void Runtime::assignName(const NameExpr& n, Frame& f, Value value, bool isSet)
{
    switch (n.resolved) {
    case NameKind::Local:
        f.locals[n.slot].deref() = std::move(value);
        return;
    case NameKind::OuterLocal:
        f.outer->locals[n.slot].deref() = std::move(value);
        return;
    case NameKind::OuterExecuted:
        (*f.outer->executedLocals)[static_cast<size_t>(n.slot)].value = std::move(value);
        return;
    case NameKind::Field:
        f.me->field(n.slot) = std::move(value);
        return;
    case NameKind::Global: {
        GlobalEntry& g = globals_[static_cast<size_t>(n.slot)];
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
        Value object = namedObjects_[static_cast<size_t>(n.slot)].object;
        Value arg[1] = {std::move(value)};
        object.rawObject()->invoke(n.member, isSet ? Access::Set : Access::Let, arg);
        return;
    }
    default:
        throw VbError(vberr::IllegalAssignment);
    }
}

} // namespace quillet::script
