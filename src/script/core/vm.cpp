// The machine that runs compiled code, and the error trap of On Error
// Resume Next: an error is located at the statement its instruction came
// from, then either goes up or execution continues at that statement's
// resume point.
#include "common/stop_request.h"
#include "script/core/array_access.h"
#include "script/core/binary_op.h"
#include "script/core/err_object.h"
#include "script/core/expression_body.h"
#include "script/core/for_counting.h"
#include "script/core/invoke.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

#include <new>

namespace quillet::script {
namespace {

// The slots above the top of the stack are always Empty: a push constructs
// in place, a pop leaves Empty behind.
void push(Value*& sp, const Value& v)
{
    ::new (static_cast<void*>(sp)) Value(v);
    ++sp;
}

void push(Value*& sp, Value&& v)
{
    ::new (static_cast<void*>(sp)) Value(std::move(v));
    ++sp;
}

void clear(Value& slot)
{
    replaceValue(slot, Value());
}

// Drops the values from `bottom` up to `sp`, the most recent first.
Value* drop(Value* bottom, Value* sp)
{
    while (sp != bottom)
        clear(*--sp);
    return bottom;
}

// The value of an assignment: Set wants an object; Let takes an object's
// default value.
void settleAssigned(Value& v, bool isSet)
{
    if (isSet) {
        if (!v.isObject())
            throw VbError(vberr::ObjectRequired);
    } else if (v.isObject()) {
        v = v.withoutObject();
    }
}

// Pops the value of a Let assignment into `target`.  The old value goes
// last, once the new one is in place (its Class_Terminate may look).
inline void letFromStack(Value& target, Value*& sp)
{
    Value& top = *--sp;
    if (top.isObject()) [[unlikely]] {
        Value v = std::move(top);
        settleAssigned(v, false);
        target = std::move(v);
        return;
    }
    Value old(std::move(target));
    ::new (static_cast<void*>(&target)) Value(std::move(top));
}

// replaceElement() with a copy of `v`, made in place.
[[gnu::always_inline]] inline void copyIntoElement(Value& element, const Value& v)
{
    if (element.type() < Type::String) [[likely]]
        ::new (static_cast<void*>(&element)) Value(v);
    else
        replaceElement(element, Value(v));
}

// The condition an element read in place gives the conditional jump after
// it when it is a Boolean, Empty or a whole number; false for anything else
// (the general way converts it, or fails).
[[gnu::always_inline]] inline bool elementCondition(const Value& element, bool& condition)
{
    if (element.type() == Type::Boolean)
        condition = element.rawBoolean();
    else if (isIntegerOrLong(element))
        condition = element.rawLong() != 0;
    else if (element.isEmpty())
        condition = false;
    else
        return false;
    return true;
}

// Copies a constant that holds no text, array or object (nothing to count)
// into an element, whose old value goes.
[[gnu::always_inline]] inline void copyPlainIntoElement(Value& element, const Value& plain)
{
    if (plain.type() >= Type::String)
        __builtin_unreachable();
    copyIntoElement(element, plain);
}

// `x = x op element` with the machine's inline arithmetic when x and the
// element at (s0, s1) of `array` (each null when its name is no variable)
// are numbers it takes; false, with nothing done, otherwise.
[[gnu::always_inline]] inline bool updateFromElement(Value* x, const Value* array, const Value* s0, const Value* s1,
                                                     Op op)
{
    const Value* element = x && array && s0 && s1 ? twoElement(*array, *s0, *s1) : nullptr;
    InlineNumber l, r;
    if (!element || !InlineNumber::from(*x, l) || !InlineNumber::from(*element, r) || !applyInline(op, l, r))
        return false;
    // x holds a number, which has nothing to release.
    ::new (static_cast<void*>(x)) Value(l.value());
    return true;
}

// The condition of a conditional jump, in the slot just popped, which it
// leaves Empty; a Boolean is read directly.  Out of line: the machine's
// loop keeps more in registers without it.  It takes the slot, not the
// stack pointer by reference, so that the pointer's address is never
// taken and the loop can keep it in a register.
[[gnu::noinline]] bool popCondition(Value& popped)
{
    const bool c = popped.type() == Type::Boolean ? popped.rawBoolean() : conditionTrue(popped);
    clear(popped);
    return c;
}

// One piece of `s = s & a & b`, made text as soon as it is evaluated.
// The pieces follow their AppendStart in one statement (nothing resumes
// within a statement): the frame's extras are there.
void appendPiece(Frame& f, const Value& piece)
{
    AppendText& text = f.extras->append;
    if (piece.isArray())
        throw VbError(vberr::TypeMismatch);
    if (piece.isNull())
        return;
    text.allNull = false;
    if (piece.isString())
        text.text += piece.rawText();
    else
        text.text += piece.toConcatText();
}

// Places an error or stop at the statement `line`/`column` of `f` unless
// it already has a place: the innermost statement it came from.  A place
// in code that Execute ran moves out to the statement that ran it (whose
// line is one of the host's code), the line in the executed text kept.
template <typename Signal>
void locate(Signal& s, int line, int column, const Frame& f)
{
    const CodeUnit* here = f.proc->unit;
    if (s.located) {
        if (!s.inExecuted || s.unit == here)
            return;
        s.executedLine = s.line;
        s.lineText.clear();
    }
    s.line = line;
    s.column = column;
    s.unit = here;
    s.located = true;
    s.inExecuted = here->executed;
}

} // namespace

// `left op y` into `left`, y a constant, a local or a global read in place
// (a global that is no variable is evaluated here, after the left operand).
[[gnu::always_inline]] inline void Runtime::binaryOperand(Frame& f, const Code& code, Op op, uint8_t flags,
                                                          OperandKind kind, int32_t index, Value& left)
{
    const bool leftLiteral = flags & kLeftLiteral, rightLiteral = flags & kRightLiteral;
    switch (kind) {
    case OperandKind::Const:
        binaryInto(op, left, code.constants[static_cast<size_t>(index)], leftLiteral, rightLiteral, false);
        return;
    case OperandKind::Local:
        binaryInto(op, left, f.locals[index].deref(), leftLiteral, rightLiteral, true);
        return;
    case OperandKind::Global: {
        if (const Value* v = globalVariable(globalAt(code, index))) {
            binaryInto(op, left, *v, leftLiteral, rightLiteral, true);
        } else {
            const Value right = evalName(code.names[static_cast<size_t>(index)], f);
            binaryInto(op, left, right, leftLiteral, rightLiteral, false);
        }
        return;
    }
    }
}

[[gnu::always_inline]] inline ptrdiff_t Runtime::subscriptsInPlace(Frame& f, const Code& code, const Instr* subscripts,
                                                                  size_t count, const ArrayRep& rep)
{
    if (count != rep.dims.size())
        return -1;
    const ArrayDim* dims = rep.dims.data();
    // The offset of subscript d in its dimension; -1 when it is no plain
    // variable holding a whole number in range.
    auto offsetAt = [&](size_t d) -> int64_t {
        const Instr& load = subscripts[d];
        const Value* s;
        if (load.op == OpCode::ArgLocal || load.op == OpCode::LoadLocal)
            s = &f.locals[load.a].deref();
        else if (GlobalEntry* g = code.globals[static_cast<size_t>(load.a)])
            s = declaredVariable(*g);
        else // an ArgName of no Global name
            s = plainVariable(code.names[static_cast<size_t>(load.a)], f);
        if (!s || !isIntegerOrLong(*s))
            return -1;
        return offsetIn(dims[d], s->rawLong());
    };
    int64_t index = offsetAt(0);
    for (size_t d = 1; d < count && index >= 0; ++d) {
        const int64_t offset = offsetAt(d);
        index = offset >= 0 ? index * dims[d].count + offset : -1;
    }
    return static_cast<ptrdiff_t>(index);
}

[[gnu::always_inline]] inline ptrdiff_t Runtime::elementOffset(Frame& f, const Code& code, const Instr& in,
                                                              const Instr* subscripts, const ArrayRep& rep)
{
    if (!(in.flags & kOneSubscript))
        return subscriptsInPlace(f, code, subscripts, in.b, rep);
    // One subscript, in a local or a global as fuseElementAccess found.
    const Instr& load = subscripts[0];
    const Value* s = in.flags & kSubscriptLocal ? &f.locals[load.a].deref() : declaredVariable(globalAt(code, load.a));
    if (!s || rep.dims.size() != 1 || !isIntegerOrLong(*s))
        return -1;
    return static_cast<ptrdiff_t>(offsetIn(rep.dims.front(), s->rawLong()));
}

[[gnu::always_inline]] inline const Value* Runtime::elementInPlace(Frame& f, const Code& code, const Instr& in,
                                                                   const Instr* subscripts, const Value& array)
{
    if (!array.isArray())
        return nullptr;
    const ArrayRep& rep = *array.rawArray();
    const ptrdiff_t at = elementOffset(f, code, in, subscripts, rep);
    return at >= 0 ? &rep.items[static_cast<size_t>(at)] : nullptr;
}

[[gnu::always_inline]] inline Value* Runtime::placedVariable(const Code& code, int32_t index, Frame& f,
                                                            uint8_t flags)
{
    if (flags & kPlacedGlobal)
        return declaredVariable(globalAt(code, index));
    const NameRef& n = code.names[static_cast<size_t>(index)];
    if (flags & kPlacedLocal)
        return &f.locals[n.slot].deref();
    return plainVariable(n, f);
}

[[gnu::always_inline]] inline const Value* Runtime::elementReadInPlace(Frame& f, const Code& code, const Instr& in,
                                                                       const Instr* subscripts, bool globalArray)
{
    if (globalArray) {
        const Value* array = declaredVariable(globalAt(code, in.a));
        return array ? elementInPlace(f, code, in, subscripts, *array) : nullptr;
    }
    const Value* array = placedVariable(code, in.a, f, in.flags);
    return array ? elementInPlace(f, code, in, subscripts, *array) : nullptr;
}

[[gnu::always_inline]] inline const Value* Runtime::fusedLeft(Frame& f, const Code& code, const Instr& in)
{
    if (in.op == OpCode::LocalBinary || in.op == OpCode::LocalCompareJump || in.op == OpCode::LocalBinaryStore)
        return &f.locals[in.b].deref();
    return globalVariable(globalAt(code, in.b));
}

[[gnu::always_inline]] inline const Value* Runtime::fusedRight(Frame& f, const Code& code, int32_t packed)
{
    const int32_t index = RightOperand::index(packed);
    switch (RightOperand::kind(packed)) {
    case OperandKind::Const:
        return &code.constants[static_cast<size_t>(index)];
    case OperandKind::Local:
        return &f.locals[index].deref();
    case OperandKind::Global:
        return globalVariable(globalAt(code, index));
    }
    return nullptr;
}

[[gnu::always_inline]] inline bool Runtime::fusedBinary(Frame& f, const Code& code, const Instr& in,
                                                        InlineNumber& result)
{
    const Value* left = fusedLeft(f, code, in);
    const Value* right = left ? fusedRight(f, code, in.a) : nullptr;
    InlineNumber r;
    return right && InlineNumber::from(*left, result) && InlineNumber::from(*right, r) &&
           applyInline(static_cast<Op>(in.flags >> kBinaryOpShift), result, r);
}

[[gnu::always_inline]] inline Value* Runtime::storedVariable(Frame& f, const Code& code, const Instr& store)
{
    return store.op == OpCode::StoreLocal ? &f.locals[store.a].deref() : declaredVariable(globalAt(code, store.a));
}

[[gnu::always_inline]] inline bool Runtime::binaryStore(Frame& f, const Code& code, const Instr& in,
                                                        const Instr& store)
{
    Value* target = storedVariable(f, code, store);
    if (!target)
        return false;
    InlineNumber result;
    if (!fusedBinary(f, code, in, result))
        return false;
    // As StoreLocal and StoreGlobal: the old value goes once the new one
    // is in place.
    replaceElement(*target, result.value());
    return true;
}

[[gnu::always_inline]] inline bool Runtime::elementJump(Frame& f, const Code& code, const Instr& in, const Instr*& ip,
                                                        const Instr* instrs, bool globalArray)
{
    const Value* element = elementReadInPlace(f, code, in, ip, globalArray);
    bool condition;
    if (!element || !elementCondition(*element, condition))
        return false;
    // ip: the subscripts, the GlobalCall or Index, then the jump.
    const Instr& jump = ip[in.b + 1];
    ip += in.b + 2u;
    if (condition == (jump.op == OpCode::JumpIfTrue))
        ip = instrs + jump.a;
    return true;
}

[[gnu::always_inline]] inline Value* Runtime::writableElement(Frame& f, const Code& code, const Instr& write,
                                                              const Instr* subscripts)
{
    Value* array = placedVariable(code, write.a, f, write.flags);
    if (!array || !array->isArray())
        return nullptr;
    ArrayRep* rep = array->rawArray();
    if (rep->refs != 1 || rep->textItems)
        return nullptr;
    const ptrdiff_t at = elementOffset(f, code, write, subscripts, *rep);
    return at >= 0 ? &rep->items[static_cast<size_t>(at)] : nullptr;
}

[[gnu::always_inline]] inline bool Runtime::variableArguments(Frame& f, const Code& code, const Instr* loads,
                                                               size_t count, Value* args)
{
    // Each a reference, as the load would push it for a procedure.
    Value* const end = args + count;
    for (Value* out = args; out != end; ++out, ++loads) {
        Value* v = loads->op == OpCode::ArgLocal ? &f.locals[loads->a].deref()
                                                 : plainVariable(code.names[static_cast<size_t>(loads->a)], f);
        if (!v) {
            drop(args, out);
            return false;
        }
        ::new (static_cast<void*>(out)) Value(Value::ref(v));
    }
    return true;
}

[[gnu::always_inline]] inline bool Runtime::directArguments(Frame& f, const Code& code, const DirectArg* plan,
                                                             const Instr* loads, size_t count, Value* args)
{
    // Each argument as its instruction would push it for a procedure,
    // which takes variables by reference.
    Value* const end = args + count;
    for (Value* out = args; out != end; ++out, ++loads, ++plan) {
        switch (plan->kind) {
        case DirectArg::Constant:
            ::new (static_cast<void*>(out)) Value(code.constants[static_cast<size_t>(plan->index)]);
            continue;
        case DirectArg::Local:
            ::new (static_cast<void*>(out)) Value(Value::ref(&f.locals[plan->index].deref()));
            continue;
        case DirectArg::Global:
            if (Value* v = declaredVariable(*plan->global)) {
                ::new (static_cast<void*>(out)) Value(Value::ref(v));
                continue;
            }
            break;
        case DirectArg::LocalStep: {
            // In whole numbers, as applyInline gives them: an Integer
            // result while an Integer local's fits, else a Long, and for a
            // Long local a Long while it fits; anything else by
            // fusedBinary below.
            const Value& l = f.locals[plan->index].deref();
            const int64_t v = int64_t(l.rawLong()) + plan->step;
            if (l.type() == Type::Integer) {
                ::new (static_cast<void*>(out)) Value(v >= INT16_MIN && v <= INT16_MAX
                                                          ? Value::integer(static_cast<int16_t>(v))
                                                          : Value::longInt(static_cast<int32_t>(v)));
                continue;
            }
            if (l.type() == Type::Long && v >= INT32_MIN && v <= INT32_MAX) {
                ::new (static_cast<void*>(out)) Value(Value::longInt(static_cast<int32_t>(v)));
                continue;
            }
            // The operands are read afresh below: the fast path above then
            // keeps nothing of them for this one (no values spilled).
            asm volatile("" ::: "memory");
            [[fallthrough]];
        }
        default: {
            InlineNumber n;
            if (fusedBinary(f, code, *loads, n)) {
                ::new (static_cast<void*>(out)) Value(n.value());
                continue;
            }
            break;
        }
        }
        drop(args, out);
        return false;
    }
    return true;
}

bool Runtime::directCall(Frame& f, const Code& code, Procedure& proc, const Instr* loads, Value* result)
{
    // The call's slots are given back as CallSlots would give them on each
    // way out (written out here, where the runtime and the procedure at
    // hand say where they are, so that nothing is kept spilled for it).
    // Nothing throws before runDirect's try.
    const Instr& in = loads[-1];
    if (in.op == OpCode::DirectCall) {
        // The arguments as the call's records say.
        const DirectArg* plan = &code.directArgs[in.b];
        const auto count = static_cast<size_t>(plan->index);
        if (count != proc.paramCount)
            return false;
        Value* const locals = slots_.takeFrame(frameSize(proc));
        if (!directArguments(f, code, plan + 1, loads, count, locals)) {
            slots_.give(locals);
            return false;
        }
        runDirect(proc, locals, result);
        return true;
    }
    // The variables of a call ElementRead found (the same sequence), all
    // by reference.
    if (in.b != proc.paramCount)
        return false;
    Value* const locals = slots_.takeFrame(frameSize(proc));
    if (!variableArguments(f, code, loads, in.b, locals)) {
        slots_.give(locals);
        return false;
    }
    runDirect(proc, locals, result);
    return true;
}

// The rest of expressionCall() once the arguments are read.
[[gnu::always_inline]] inline bool Runtime::expressionValue(const Procedure& proc, ExpressionRegisters& registers,
                                                            Value* result)
{
    const int value = registers.evaluate(proc.expression);
    if (value < 0)
        return false;
    // The call counted as a step as any call is, once its value is known:
    // a call that goes the general way is not counted twice.
    checkStep();
    ::new (static_cast<void*>(result)) Value(registers.value(value));
    return true;
}

// A call with no depth left raises its error the general way.
[[gnu::always_inline]] inline bool Runtime::expressionCallFits(const Procedure& proc, size_t count) const
{
    char probe;
    return count == proc.paramCount && callRoom_ > 0 && reinterpret_cast<uintptr_t>(&probe) >= stackLimit_;
}

[[gnu::noinline]] bool Runtime::expressionCall(Frame& f, const Code& code, const Procedure& proc,
                                                const Instr* loads, Value* result)
{
    const Instr& in = loads[-1];
    if (in.op != OpCode::DirectCall) [[unlikely]]
        return expressionCallOfVariables(f, code, proc, loads, result);
    const DirectArg* plan = &code.directArgs[in.b];
    const auto count = static_cast<size_t>(plan->index);
    if (!expressionCallFits(proc, count))
        return false;
    // Each argument's value, read where it is: the body reads its
    // parameters and nothing else, so passing by reference or by value
    // makes no difference to it.
    ExpressionRegisters registers;
    for (size_t i = 0; i < count; ++i) {
        const DirectArg& a = plan[i + 1];
        const Value* v;
        switch (a.kind) {
        case DirectArg::Constant:
            v = &code.constants[static_cast<size_t>(a.index)];
            break;
        case DirectArg::Local:
            v = &f.locals[a.index].deref();
            break;
        case DirectArg::Global:
            v = declaredVariable(*a.global);
            if (!v)
                return false;
            break;
        default: {
            InlineNumber n;
            if (!fusedBinary(f, code, loads[i], n))
                return false;
            registers.setArgument(i, n);
            continue;
        }
        }
        if (!registers.setArgument(i, *v))
            return false;
    }
    return expressionValue(proc, registers, result);
}

[[gnu::noinline]] bool Runtime::expressionCallOfVariables(Frame& f, const Code& code, const Procedure& proc,
                                                           const Instr* loads, Value* result)
{
    // The variables of a call ElementRead found (the same sequence).
    const size_t count = loads[-1].b;
    if (!expressionCallFits(proc, count))
        return false;
    ExpressionRegisters registers;
    for (size_t i = 0; i < count; ++i) {
        const Value* v = loads[i].op == OpCode::ArgLocal
                             ? &f.locals[loads[i].a].deref()
                             : plainVariable(code.names[static_cast<size_t>(loads[i].a)], f);
        if (!v || !registers.setArgument(i, *v))
            return false;
    }
    return expressionValue(proc, registers, result);
}

[[gnu::always_inline]] inline void Runtime::runDirect(Procedure& proc, Value* locals, Value* result)
{
    // No argument is an array element (nothing to lock) or omitted; a
    // variable passed to a by-value parameter is copied.
    if (proc.anyByVal) {
        const Param* params = proc.params.data();
        for (size_t i = 0; i < proc.paramCount; ++i) {
            if (params[i].byVal && locals[i].isRef())
                locals[i] = Value(*locals[i].rawRef());
        }
    }
    // A function's value is made right where the caller takes it: its
    // variable refers there (`result` is Empty), so nothing moves as the
    // call returns.  A procedure's value is that Empty.
    const int resultSlot = proc.resultSlot;
    if (resultSlot >= 0)
        ::new (static_cast<void*>(locals + resultSlot)) Value(Value::ref(result));
    try {
        enterCall();
        CallDepth depth{callRoom_};
        Frame callee;
        callee.locals = locals;
        callee.stack = locals + proc.localCount;
        callee.proc = &proc;
        execute(callee, *proc.code);
    } catch (...) {
        // The locals go the last first, the value made so far in the place
        // of the variable among them.
        if (resultSlot >= 0) [[likely]] {
            CallSlots::emptyLocals(locals + resultSlot + 1, proc.localCount - size_t(resultSlot) - 1);
            replaceValue(*result, Value());
        }
        CallSlots::emptyLocals(locals, proc.localCount);
        slots_.give(locals);
        throw;
    }
    CallSlots::emptyLocals(locals, proc.localCount);
    slots_.give(locals);
}

void Runtime::raiseFrom(ScriptError& e, int line, int column, Frame& f)
{
    locate(e, line, column, f);
    if (f.resumeNext) {
        err_->set(e);
        return;
    }
    throw e;
}

bool Runtime::trapError(int line, int column, Frame& f)
{
    try {
        throw;
    } catch (StopSignal& stop) {
        // Nothing catches a stop; it only learns where it happened.
        locate(stop, line, column, f);
        throw;
    } catch (ScriptError& e) {
        raiseFrom(e, line, column, f);
        return true;
    } catch (const StopRequested&) {
        // A host operation that gave up on the stop request: a stop like
        // one at a loop turn.
        StopSignal stop{kStopErrorNumber, u"Script stopped on request"};
        locate(stop, line, column, f);
        throw stop;
    } catch (const VbError& v) {
        ScriptError e;
        e.number = v.number();
        e.description = v.description();
        raiseFrom(e, line, column, f);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // Out of memory: an allocation refused, or a container past its size.
    ScriptError e;
    e.number = vberr::OutOfMemory;
    e.description = vbErrorDescription(e.number);
    raiseFrom(e, line, column, f);
    return false;
}

void Runtime::releaseHoldings(Frame& f, const Code& code, const StatementEntry& at, size_t count) noexcept
{
    for (size_t i = 0; i < count; ++i) {
        const Holding& h = code.holdings[at.holdingsBegin + i];
        if (h.kind == Holding::Iterator)
            f.iterators[h.index].end();
        else
            f.locals[h.index] = Value();
    }
}

void Runtime::executeWithIterators(Frame& f, const Code& code)
{
    // Released as the code ends, before the frame's result is taken.
    const auto iterators = std::make_unique<ForEachState[]>(static_cast<size_t>(code.iterators));
    f.iterators = iterators.get();
    run(f, code);
}

// Two instructions whose calls take more arguments than registers pass,
// out of the machine's loop: a call that passes some on the stack costs
// the loop its frame pointer register.
[[gnu::noinline]] bool Runtime::startFor(Frame& f, const Code& code, Instr in, Value* operands)
{
    // The start, the end and the step if there is one; taken, so their
    // slots are Empty again.
    Value from = std::move(operands[0]);
    Value to = std::move(operands[1]);
    Value step = in.flags ? std::move(operands[2]) : Value::integer(1);
    return forStart(f, code, code.forLoops[in.b], std::move(from), std::move(to), std::move(step));
}

[[gnu::noinline]] Value* Runtime::storeNestedAt(Frame& f, const Code& code, Instr in, Value* sp)
{
    const NestedSite& site = code.nested[static_cast<size_t>(in.a)];
    return storeNested(f, code.names[static_cast<size_t>(site.base)], site, in.b, in.flags, sp);
}

// The machine's switch names every opcode (-Wswitch-enum holds it to
// that) and has no other: its default, which the compiler never makes,
// spares each instruction the jump table's range check.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch-enum"
void Runtime::run(Frame& f, const Code& code)
{
    Value* const base = f.stack;
    Value* sp = base;
    Value* const locals = f.locals;
    const Instr* const instrs = code.instrs.data();
    // The next instruction; execution starts at the first.
    const Instr* ip = instrs;
    // A global's value as LoadGlobal pushes it: read in place when it is a
    // variable, otherwise whatever the name means (a call, a constant).
    auto pushGlobal = [&](int32_t index) {
        if (const Value* v = globalVariable(globalAt(code, index)))
            push(sp, *v);
        else
            push(sp, evalName(code.names[static_cast<size_t>(index)], f));
    };
    // The turn of a loop counting whole whose counter holds a whole number
    // and goes on in range: the count stepped, after the stop and
    // step-budget check.  False, with nothing done, otherwise.
    // `up`: a loop without Step, counting by 1.
    auto stepWhole = [&](Value& counter, const Value* slots, bool up) {
        int64_t next;
        if (!(up ? nextUpInRange(counter, slots, next) : nextWholeInRange(counter, slots, next)))
            return false;
        checkStep();
        storeWhole(counter, slots, next);
        return true;
    };
    while (true) {
        try {
            while (true) {
                const Instr& in = *ip++;
                switch (in.op) {
                // ---- values ----------------------------------------------
                case OpCode::PushConst:
                    push(sp, code.constants[static_cast<size_t>(in.a)]);
                    break;
                case OpCode::PushMissing:
                    push(sp, Value::missing());
                    break;
                case OpCode::PushMe:
                    push(sp, f.me ? Value::object(f.me) : globalMe());
                    break;
                case OpCode::PushWith:
                    push(sp, locals[in.a]);
                    break;
                case OpCode::LocalCopy: {
                    // An object takes its default value on the way, the
                    // general way.
                    Value* target = storedVariable(f, code, *ip);
                    const Value& source = locals[in.a].deref();
                    if (target && !source.isObject()) {
                        copyIntoElement(*target, source);
                        ++ip;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::LoadLocal:
                    push(sp, locals[in.a].deref());
                    break;
                case OpCode::LoadGlobal:
                    pushGlobal(in.a);
                    break;
                case OpCode::LoadName:
                    push(sp, evalName(code.names[static_cast<size_t>(in.a)], f));
                    break;
                case OpCode::New:
                    push(sp, evalNew(code.classNames[static_cast<size_t>(in.a)]));
                    break;
                case OpCode::Unary:
                    replaceValue(sp[-1], unaryOp(static_cast<Op>(in.b), sp[-1]));
                    break;
                case OpCode::BinaryStore: {
                    // Both values numbers: they have nothing to release, so
                    // their slots are simply left Empty.
                    Value* target = storedVariable(f, code, *ip);
                    InlineNumber l, r;
                    if (target && InlineNumber::from(sp[-2], l) && InlineNumber::from(sp[-1], r) &&
                        applyInline(static_cast<Op>(in.b), l, r)) {
                        sp -= 2;
                        ::new (static_cast<void*>(sp)) Value();
                        ::new (static_cast<void*>(sp + 1)) Value();
                        replaceElement(*target, l.value());
                        ++ip;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::Binary:
                    binaryInto(static_cast<Op>(in.b), sp[-2], sp[-1], in.flags & kLeftLiteral,
                               in.flags & kRightLiteral, false);
                    clear(*--sp);
                    break;
                case OpCode::BinaryConstStore: {
                    // The value a number: it has nothing to release, so its
                    // slot is simply left Empty.
                    Value* target = storedVariable(f, code, *ip);
                    InlineNumber l, r;
                    if (target && InlineNumber::from(sp[-1], l) &&
                        InlineNumber::from(code.constants[static_cast<size_t>(in.a)], r) &&
                        applyInline(static_cast<Op>(in.b), l, r)) {
                        --sp;
                        ::new (static_cast<void*>(sp)) Value();
                        replaceElement(*target, l.value());
                        ++ip;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::BinaryConst:
                    binaryOperand(f, code, static_cast<Op>(in.b), in.flags, OperandKind::Const, in.a, sp[-1]);
                    break;
                case OpCode::BinaryLocal:
                    binaryOperand(f, code, static_cast<Op>(in.b), in.flags, OperandKind::Local, in.a, sp[-1]);
                    break;
                case OpCode::BinaryGlobal:
                    binaryOperand(f, code, static_cast<Op>(in.b), in.flags, OperandKind::Global, in.a, sp[-1]);
                    break;
                case OpCode::LocalBinaryStore:
                    if (binaryStore(f, code, in, *ip)) {
                        ++ip;
                        break;
                    }
                    [[fallthrough]];
                case OpCode::LocalBinary:
                    push(sp, locals[in.b].deref());
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags,
                                  RightOperand::kind(in.a), RightOperand::index(in.a), sp[-1]);
                    break;
                case OpCode::GlobalBinaryStore:
                    if (binaryStore(f, code, in, *ip)) {
                        ++ip;
                        break;
                    }
                    [[fallthrough]];
                case OpCode::GlobalBinary: {
                    if (const Value* v = globalVariable(globalAt(code, in.b)))
                        push(sp, *v);
                    else
                        push(sp, evalName(code.names[in.b], f));
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags,
                                  RightOperand::kind(in.a), RightOperand::index(in.a), sp[-1]);
                    break;
                }
                case OpCode::LocalChainStore: {
                    const ChainSite& site = code.chains[static_cast<size_t>(in.a)];
                    if (site.store(site, locals)) {
                        ip += 2;
                        break;
                    }
                    push(sp, locals[in.b].deref());
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags,
                                  RightOperand::kind(site.zPacked), RightOperand::index(site.zPacked), sp[-1]);
                    break;
                }
                case OpCode::GlobalChainStore: {
                    const ChainSite& site = code.chains[static_cast<size_t>(in.a)];
                    if (site.store(site, locals)) {
                        ip += 2;
                        break;
                    }
                    pushGlobal(in.b);
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags,
                                  RightOperand::kind(site.zPacked), RightOperand::index(site.zPacked), sp[-1]);
                    break;
                }
                case OpCode::Pop:
                    clear(*--sp);
                    break;
                case OpCode::LocalCompareJump:
                case OpCode::GlobalCompareJump: {
                    const Value* left = fusedLeft(f, code, in);
                    const Value* right = left ? fusedRight(f, code, in.a) : nullptr;
                    if (right && isIntegerOrLong(*left) && isIntegerOrLong(*right)) {
                        const bool c = compareWhole(static_cast<Op>(in.flags >> kBinaryOpShift), left->rawLong(),
                                                    right->rawLong());
                        const Instr& jump = *ip++;
                        if (c == (jump.op == OpCode::JumpIfTrue))
                            ip = instrs + jump.a;
                        break;
                    }
                    if (in.op == OpCode::LocalCompareJump)
                        push(sp, locals[in.b].deref());
                    else
                        pushGlobal(in.b);
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags,
                                  RightOperand::kind(in.a), RightOperand::index(in.a), sp[-1]);
                    break;
                }
                case OpCode::LocalConstCompareJump: {
                    const Value& left = locals[in.b].deref();
                    const Instr& jump = *ip;
                    if (isIntegerOrLong(left)) {
                        const bool c =
                            compareWhole(static_cast<Op>(in.flags >> kBinaryOpShift), left.rawLong(), in.a);
                        ip = c == (jump.op == OpCode::JumpIfTrue) ? instrs + jump.a : ip + 1;
                        break;
                    }
                    push(sp, left);
                    binaryOperand(f, code, static_cast<Op>(in.flags >> kBinaryOpShift), in.flags, OperandKind::Const,
                                  jump.b, sp[-1]);
                    break;
                }
                case OpCode::UpdateLocal: {
                    const UpdateSite& site = code.updates[in.b];
                    if (site.update(site, locals)) {
                        ip += site.length;
                        break;
                    }
                    push(sp, locals[in.a].deref());
                    break;
                }
                case OpCode::ElementUpdateGlobal:
                    // ip: the ElementRead, its two subscripts' loads, the
                    // GlobalCall, the Binary, then the StoreGlobal.
                    if (updateFromElement(declaredVariable(globalAt(code, in.a)),
                                          declaredVariable(globalAt(code, ip[0].a)),
                                          declaredVariable(globalAt(code, ip[1].a)),
                                          declaredVariable(globalAt(code, ip[2].a)), static_cast<Op>(ip[4].b))) {
                        ip += 6;
                        break;
                    }
                    pushGlobal(in.a);
                    break;
                case OpCode::ElementUpdateLocal: {
                    // ip: the CalleeElementRead, its two subscripts' loads,
                    // the Index, the Binary, then the StoreLocal.
                    Value& x = locals[in.a].deref();
                    if (updateFromElement(&x, &locals[in.b].deref(), &locals[ip[1].a].deref(),
                                          &locals[ip[2].a].deref(), static_cast<Op>(ip[4].b))) {
                        ip += 6;
                        break;
                    }
                    push(sp, x);
                    break;
                }
                case OpCode::UpdateGlobal: {
                    const UpdateSite& site = code.updates[in.b];
                    if (site.update(site, locals)) {
                        ip += site.length;
                        break;
                    }
                    pushGlobal(in.a);
                    break;
                }

                // ---- calls -----------------------------------------------
                case OpCode::CalleeElementReadJumpLocal: {
                    // ip: the subscript's load, the Index, then the jump.
                    const Value* element = oneElement(locals[code.names[static_cast<size_t>(in.a)].slot].deref(),
                                                      locals[ip->a].deref());
                    bool condition;
                    if (element && elementCondition(*element, condition)) {
                        const Instr& jump = ip[2];
                        ip = condition == (jump.op == OpCode::JumpIfTrue) ? instrs + jump.a : ip + 3;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::CalleeElementReadJump:
                    if (elementJump(f, code, in, ip, instrs, false))
                        break;
                    [[fallthrough]];
                case OpCode::CalleeElementRead:
                    if (const Value* element = elementReadInPlace(f, code, in, ip, false)) {
                        push(sp, *element);
                        ip += in.b + 1u;
                        break;
                    }
                    [[fallthrough]];
                case OpCode::LoadCallee: {
                    Value* holder = variableSlot(code.names[static_cast<size_t>(in.a)], f);
                    push(sp, holder->isArray() && in.flags ? Value::ref(holder) : *holder);
                    break;
                }
                case OpCode::Index:
                    sp = index(f, in.b, sp, in.flags & kEmptyParens);
                    break;
                case OpCode::CallBuiltin: {
                    Value* args = sp - in.b;
                    Value result = invokeBuiltin(*code.names[static_cast<size_t>(in.a)].builtin, f,
                                                 std::span<Value>(args, in.b));
                    sp = drop(args, sp);
                    push(sp, std::move(result));
                    break;
                }
                case OpCode::CallMethod:
                    sp = callMethod(f, code.names[static_cast<size_t>(in.a)], in.b, sp);
                    break;
                case OpCode::ElementReadJumpGlobal: {
                    // ip: the subscript's load, the GlobalCall, then the jump.
                    const Value* array = declaredVariable(globalAt(code, in.a));
                    const Value* s = declaredVariable(globalAt(code, ip->a));
                    const Value* element = array && s ? oneElement(*array, *s) : nullptr;
                    bool condition;
                    if (element && elementCondition(*element, condition)) {
                        const Instr& jump = ip[2];
                        ip = condition == (jump.op == OpCode::JumpIfTrue) ? instrs + jump.a : ip + 3;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::ElementReadJump:
                    if (elementJump(f, code, in, ip, instrs, true))
                        break;
                    [[fallthrough]];
                case OpCode::ElementRead: {
                    if (const Value* element = elementReadInPlace(f, code, in, ip, true)) {
                        push(sp, *element);
                        ip += in.b + 1u;
                        break;
                    }
                    // Variables as arguments of a GlobalCall of the same
                    // name: a sequence DirectCall takes as it is, so a
                    // procedure of that name is called directly.
                    [[fallthrough]];
                }
                case OpCode::DirectCall: {
                    // The value lands where GlobalPrep would put the callee,
                    // so that an error in the call unwinds the same.  Every
                    // other way goes on as GlobalPrep does, here rather than
                    // by falling into it (the machine's loop then keeps
                    // nothing spilled for that).
                    GlobalEntry& g = globalAt(code, in.a);
                    if (g.kind != GlobalKind::Procedure) {
                        sp = globalPrep(code.names[static_cast<size_t>(in.a)], in.flags, sp);
                        break;
                    }
                    // A function whose body is one expression is worked
                    // out from the arguments without a frame when it can be.
                    if ((g.proc->expression.valid && expressionCall(f, code, *g.proc, ip, sp)) ||
                        directCall(f, code, *g.proc, ip, sp)) {
                        // Past the loads, as many as the procedure's
                        // parameters, and the GlobalCall.
                        ++sp;
                        ip += g.proc->paramCount + 1u;
                        break;
                    }
                    // As GlobalPrep (below) for a procedure: the arguments
                    // follow as instructions (directCall left nothing).
                    sp[1] = Value::longInt(kProcedureMode);
                    sp += 2;
                    break;
                }
                case OpCode::GlobalPrep: {
                    // Calling a procedure is the common case: no callee value,
                    // arguments by reference (the slots above sp are Empty).
                    if (globalAt(code, in.a).kind == GlobalKind::Procedure) {
                        sp[1] = Value::longInt(kProcedureMode);
                        sp += 2;
                    } else {
                        sp = globalPrep(code.names[static_cast<size_t>(in.a)], in.flags, sp);
                    }
                    break;
                }
                case OpCode::GlobalCall: {
                    Value* args = sp - in.b;
                    if (args[-2].isRef() && args[-2].rawRef()->isArray()) {
                        // An element of a global array.
                        const Value& array = *args[-2].rawRef();
                        const ptrdiff_t at = quickIndex(*array.rawArray(), args, in.b);
                        Value element = at >= 0 ? array.rawArray()->items[static_cast<size_t>(at)]
                                                : elementAt(array, std::span<Value>(args, in.b));
                        sp = drop(args - 2, sp);
                        push(sp, std::move(element));
                        break;
                    }
                    if (args[-1].rawLong() != kProcedureMode) {
                        sp = globalCall(f, code.names[static_cast<size_t>(in.a)], in.b, sp, in.flags & kEmptyParens);
                        break;
                    }
                    Value result = callProcedure(*globalAt(code, in.a).proc, nullptr,
                                                 std::span<Value>(args, in.b));
                    if (f.anyLocked())
                        unlockArguments(f, args, true);
                    sp = drop(args - 2, sp);
                    push(sp, std::move(result));
                    break;
                }
                case OpCode::HostPrep:
                    sp = hostPrep(code.names[static_cast<size_t>(in.a)], sp);
                    break;
                case OpCode::HostCall:
                    sp = hostCall(f, code.names[static_cast<size_t>(in.a)], in.b, sp);
                    break;
                case OpCode::MemberPrep:
                    sp = memberPrep(code.members[static_cast<size_t>(in.a)], sp);
                    break;
                case OpCode::MemberCall:
                    sp = memberCall(f, code.members[static_cast<size_t>(in.a)], in.b, in.flags, sp);
                    break;
                case OpCode::ArgLocal: {
                    const bool byRef = (in.flags & kArgByRef) || (f.stack[in.b].rawLong() & 1);
                    Value& local = locals[in.a].deref();
                    push(sp, byRef ? Value::ref(&local) : local);
                    break;
                }
                case OpCode::ArgName: {
                    const NameRef& n = code.names[static_cast<size_t>(in.a)];
                    const bool byRef = (in.flags & kArgByRef) || (f.stack[in.b].rawLong() & 1);
                    if (byRef) {
                        Value* p = variableSlot(n, f);
                        push(sp, p ? Value::ref(p) : evalName(n, f));
                    } else if (const Value* v = n.kind == NameKind::Global ? globalVariable(n) : nullptr) {
                        push(sp, *v);
                    } else {
                        push(sp, evalName(n, f));
                    }
                    break;
                }
                case OpCode::IndexArg: {
                    const ArgSite& site = code.argSites[static_cast<size_t>(in.a)];
                    Value* callee = sp - in.b - 1;
                    if (callee->isRef() && callee->rawRef()->isArray() && takesReferences(f, site))
                        sp = elementRef(f, *callee->rawRef(), callee, in.b, sp);
                    else
                        sp = index(f, in.b, sp);
                    break;
                }
                case OpCode::GlobalCallArg: {
                    const ArgSite& site = code.argSites[static_cast<size_t>(in.a)];
                    Value* callee = sp - in.b - 2;
                    if (callee->isRef() && callee->rawRef()->isArray() && takesReferences(f, site))
                        sp = elementRef(f, *callee->rawRef(), callee, in.b, sp);
                    else
                        sp = globalCall(f, code.names[static_cast<size_t>(site.array)], in.b, sp);
                    break;
                }

                // ---- assignments -----------------------------------------
                case OpCode::AssignValue:
                    settleAssigned(sp[-1], in.flags);
                    break;
                case OpCode::StoreLocal:
                    letFromStack(locals[in.a].deref(), sp);
                    break;
                case OpCode::StoreGlobal: {
                    GlobalEntry& g = globalAt(code, in.a);
                    if (g.kind == GlobalKind::Variable) {
                        letFromStack(g.value, sp);
                    } else {
                        Value v = std::move(*--sp);
                        settleAssigned(v, false);
                        // declares it, or refuses
                        assignName(code.names[static_cast<size_t>(in.a)], f, std::move(v), false);
                    }
                    break;
                }
                case OpCode::StoreName: {
                    Value v = std::move(*--sp);
                    settleAssigned(v, in.flags);
                    assignName(code.names[static_cast<size_t>(in.a)], f, std::move(v), in.flags);
                    break;
                }
                case OpCode::StoreMember:
                    sp = storeMember(code.members[static_cast<size_t>(in.a)], in.b, in.flags, sp);
                    break;
                case OpCode::ConstElementWriteGlobal: {
                    // ip: the AssignValue, the ElementWrite, its subscript's
                    // load, then the StoreIndexed.
                    Value* array = declaredVariable(globalAt(code, ip[1].a));
                    const Value* s = declaredVariable(globalAt(code, ip[2].a));
                    if (Value* element = array && s ? writableOneElement(*array, *s) : nullptr) {
                        copyPlainIntoElement(*element, code.constants[static_cast<size_t>(in.a)]);
                        ip += 4;
                        break;
                    }
                    push(sp, code.constants[static_cast<size_t>(in.a)]);
                    break;
                }
                case OpCode::ConstElementWriteLocal:
                    if (Value* element = writableOneElement(locals[in.b].deref(), locals[ip[2].a].deref())) {
                        copyPlainIntoElement(*element, code.constants[static_cast<size_t>(in.a)]);
                        ip += 4;
                        break;
                    }
                    push(sp, code.constants[static_cast<size_t>(in.a)]);
                    break;
                case OpCode::ConstElementWrite: {
                    // ip: the AssignValue, then the ElementWrite and its subscripts.
                    const Instr& write = ip[1];
                    if (Value* element = writableElement(f, code, write, ip + 2)) {
                        copyIntoElement(*element, code.constants[static_cast<size_t>(in.a)]);
                        ip += 2u + write.b + 1u;
                        break;
                    }
                    push(sp, code.constants[static_cast<size_t>(in.a)]);
                    break;
                }
                case OpCode::ElementWriteTwoLocal:
                    // ip: the two subscripts' loads, then the StoreIndexed.
                    if (Value* element = writableTwoElement(locals[in.a].deref(), locals[ip[0].a].deref(),
                                                            locals[ip[1].a].deref())) {
                        replaceElement(*element, std::move(*--sp));
                        ip += 3;
                        break;
                    }
                    sp = indexedPrep(f, code.names[static_cast<size_t>(ip[2].a)], sp);
                    break;
                case OpCode::ElementWriteTwoGlobal: {
                    // ip: the two subscripts' loads, then the StoreIndexed.
                    Value* array = declaredVariable(globalAt(code, in.a));
                    const Value* s0 = declaredVariable(globalAt(code, ip[0].a));
                    const Value* s1 = declaredVariable(globalAt(code, ip[1].a));
                    if (Value* element = array && s0 && s1 ? writableTwoElement(*array, *s0, *s1) : nullptr) {
                        replaceElement(*element, std::move(*--sp));
                        ip += 3;
                        break;
                    }
                    [[fallthrough]];
                }
                case OpCode::ElementWrite:
                    if (Value* element = writableElement(f, code, in, ip)) {
                        replaceElement(*element, std::move(*--sp));
                        ip += in.b + 1u;
                        break;
                    }
                    [[fallthrough]];
                case OpCode::IndexedPrep:
                    sp = indexedPrep(f, code.names[static_cast<size_t>(in.a)], sp);
                    break;
                case OpCode::StoreIndexed: {
                    // [value][prepared][subscripts]: an element of an array
                    // variable written in place when it can be.
                    Value* subscripts = sp - in.b;
                    const Value& prepared = subscripts[-1];
                    Value* element = nullptr;
                    if (prepared.isRef() && prepared.rawRef()->isArray())
                        element = quickWritableElement(*prepared.rawRef(), subscripts, in.b);
                    if (!element) {
                        sp = storeIndexed(f, code.names[static_cast<size_t>(in.a)], in.b, in.flags, sp);
                        break;
                    }
                    Value* value = subscripts - 2;
                    {
                        Value old(std::move(*element));
                        ::new (static_cast<void*>(element)) Value(std::move(*value));
                    }
                    sp = drop(value, sp);
                    break;
                }
                case OpCode::TestVariable:
                    push(sp, Value::boolean(variablePtr(code.names[static_cast<size_t>(in.a)], f) != nullptr));
                    break;
                case OpCode::StoreNested:
                    sp = storeNestedAt(f, code, in, sp);
                    break;
                case OpCode::RequireObject:
                    if (!sp[-1].isObject() || !sp[-1].rawObject())
                        throw VbError(vberr::ObjectRequired);
                    break;
                case OpCode::StoreDefault:
                    sp = storeDefault(in.b, in.flags, sp);
                    break;
                case OpCode::AppendStart:
                    // The frame's extras are made out of the loop, the
                    // first time (startAppend).
                    if (f.extras) [[likely]] {
                        f.extras->append.text.clear();
                        f.extras->append.allNull = true;
                    } else {
                        startAppend(f);
                    }
                    break;
                case OpCode::Append:
                    appendPiece(f, sp[-1]);
                    clear(*--sp);
                    break;
                case OpCode::AppendConst:
                    appendPiece(f, code.constants[static_cast<size_t>(in.a)]);
                    break;
                case OpCode::AppendStore:
                    appendStore(f, code.names[static_cast<size_t>(in.a)]);
                    break;

                // ---- declarations ----------------------------------------
                case OpCode::ToLong:
                    replaceValue(sp[-1], Value::longInt(sp[-1].toInt32()));
                    break;
                case OpCode::TestFixed: {
                    const Value* target = variablePtr(code.names[static_cast<size_t>(in.a)], f);
                    if (!target)
                        throw VbError(vberr::IllegalAssignment);
                    push(sp, Value::boolean(target->isArray() && target->rawArray()->fixedSize));
                    break;
                }
                case OpCode::DimArray:
                    dimArray(f, code.names[static_cast<size_t>(in.a)], std::span<Value>(sp - in.b, in.b));
                    sp = drop(sp - in.b, sp);
                    break;
                case OpCode::ReDim:
                    reDim(f, code.names[static_cast<size_t>(in.a)], std::span<Value>(sp - in.b, in.b), in.flags);
                    sp = drop(sp - in.b, sp);
                    break;
                case OpCode::Erase:
                    erase(f, code.names[static_cast<size_t>(in.a)]);
                    break;
                case OpCode::OnError:
                    f.resumeNext = in.flags != 0;
                    err_->clear();
                    break;
                case OpCode::Fail:
                    throw VbError(in.a);

                // ---- control flow ----------------------------------------
                case OpCode::Jump:
                    ip = instrs + in.a;
                    break;
                case OpCode::LoopBack:
                    checkStep();
                    ip = instrs + in.a;
                    break;
                case OpCode::CheckStep:
                    checkStep();
                    break;
                case OpCode::JumpIfFalse:
                    if (!popCondition(*--sp))
                        ip = instrs + in.a;
                    break;
                case OpCode::JumpIfTrue:
                    if (popCondition(*--sp))
                        ip = instrs + in.a;
                    break;
                case OpCode::Return:
                    // An Eval expression's value stays where it is, the
                    // only value on the stack (runTopLevel takes it).
                    if (in.flags)
                        return;
                    // A body's statements leave nothing on the stack; were
                    // anything there, it would go now, so that the caller
                    // gets the stack's slots back Empty (CallSlots).
                    if (sp != base) [[unlikely]]
                        drop(base, sp);
                    return;

                // ---- loops and blocks ------------------------------------
                case OpCode::ToNumeric:
                    replaceValue(sp[-1], sp[-1].toNumeric());
                    break;
                case OpCode::ForStart: {
                    Value* const operands = sp - (in.flags ? 3 : 2);
                    sp = operands;
                    if (!startFor(f, code, in, operands))
                        ip = instrs + in.a;
                    break;
                }
                // A whole-number loop steps here while it goes on; anything
                // else, the turn that ends it too, in forNext.
                case OpCode::ForNextLocal: {
                    const ForLoopInfo& loop = code.forLoops[in.b];
                    Value* const slots = localAt(locals, loop.slotsAt);
                    if (countsWhole(slots) && stepWhole(localAt(locals, loop.counterAt)->deref(), slots, false)) {
                        ip = instrs + in.a;
                        break;
                    }
                    if (forNext(f, code, loop))
                        ip = instrs + in.a;
                    break;
                }
                case OpCode::ForNextLocalUp: {
                    const ForLoopInfo& loop = code.forLoops[in.b];
                    Value* const slots = localAt(locals, loop.slotsAt);
                    if (countsWhole(slots) && stepWhole(localAt(locals, loop.counterAt)->deref(), slots, true)) {
                        ip = instrs + in.a;
                        break;
                    }
                    if (forNext(f, code, loop))
                        ip = instrs + in.a;
                    break;
                }
                case OpCode::ForNextGlobal: {
                    const ForLoopInfo& loop = code.forLoops[in.b];
                    Value* const slots = localAt(locals, loop.slotsAt);
                    if (countsWhole(slots)) {
                        Value* counter = declaredVariable(*loop.counterGlobal);
                        if (counter && stepWhole(*counter, slots, false)) {
                            ip = instrs + in.a;
                            break;
                        }
                    }
                    if (forNext(f, code, loop))
                        ip = instrs + in.a;
                    break;
                }
                case OpCode::ForNextGlobalUp: {
                    const ForLoopInfo& loop = code.forLoops[in.b];
                    Value* const slots = localAt(locals, loop.slotsAt);
                    if (countsWhole(slots)) {
                        Value* counter = declaredVariable(*loop.counterGlobal);
                        if (counter && stepWhole(*counter, slots, true)) {
                            ip = instrs + in.a;
                            break;
                        }
                    }
                    if (forNext(f, code, loop))
                        ip = instrs + in.a;
                    break;
                }
                case OpCode::ForNext:
                    // A counter in some other place (a field, a variable of
                    // the code that ran Execute).
                    if (forNext(f, code, code.forLoops[in.b]))
                        ip = instrs + in.a;
                    break;
                case OpCode::ForEachStart:
                    if (!forEachStart(f, code, code.forEachLoops[in.b], std::move(*--sp)))
                        ip = instrs + in.a;
                    break;
                case OpCode::ForEachNext:
                    if (forEachNext(f, code, code.forEachLoops[in.b], true))
                        ip = instrs + in.a;
                    break;
                case OpCode::ForEachEnd:
                    f.iterators[in.b].end();
                    break;
                case OpCode::StoreHidden:
                    locals[in.b] = std::move(*--sp);
                    break;
                case OpCode::ClearHidden:
                    locals[in.b] = Value();
                    break;
                case OpCode::CaseMatch: {
                    const Value& test = locals[in.b];
                    const bool testLiteral = in.flags & kCaseTestLiteral;
                    const bool valueLiteral = in.flags & kCaseValueLiteral;
                    bool match;
                    if (in.flags & kCaseIs) {
                        const auto op = static_cast<Op>((in.flags & ~kCaseIs) >> kCaseOpShift);
                        match = conditionTrue(comparisonOp(op, test, sp[-1], testLiteral, valueLiteral));
                    } else {
                        const auto c = compareValues(test, sp[-1], testLiteral, valueLiteral);
                        match = c && *c == 0;
                    }
                    replaceValue(sp[-1], Value::boolean(match));
                    break;
                }
                case OpCode::CaseRange: {
                    const Value& test = locals[in.b];
                    const bool testLiteral = in.flags & kCaseTestLiteral;
                    const auto low = compareValues(test, sp[-2], testLiteral, in.flags & kCaseValueLiteral);
                    const auto high = compareValues(test, sp[-1], testLiteral, in.flags & kCaseHighLiteral);
                    clear(*--sp);
                    replaceValue(sp[-1], Value::boolean(low && high && *low >= 0 && *high <= 0));
                    break;
                }
                default:
                    __builtin_unreachable();
                }
            }
        } catch (...) {
            // An Eval expression has no statements: its errors belong to
            // the statement that called Eval, once the elements it passed
            // by reference are unlocked (its frame goes with the error).
            if (code.statements.empty()) {
                unlockArguments(f, base, false);
                throw;
            }
            // The temporaries of the failed statement go first, the most
            // recent first.  An instruction may have put values above the
            // top it started from before failing: the whole stack is cleared.
            unlockArguments(f, base, false);
            sp = drop(base, base + code.maxStack);
            const StatementEntry& at = code.statementAt(static_cast<size_t>(ip - instrs) - 1);
            bool scriptError;
            try {
                scriptError = trapError(at.line, at.column, f);
            } catch (...) {
                releaseHoldings(f, code, at, at.holdingsCount);
                throw;
            }
            releaseHoldings(f, code, at, at.releaseOnResume);
            ip = instrs + (scriptError ? at.resume : at.resumeAfter);
        }
    }
}

#pragma GCC diagnostic pop

} // namespace quillet::script
