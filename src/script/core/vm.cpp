// The machine that runs compiled code, and the error trap of On Error
// Resume Next: an error is located at the statement its instruction came
// from, then either goes up or execution continues at that statement's
// resume point.
#include "script/core/err_object.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"

#include <new>

namespace quillet::script {

void Runtime::raiseFrom(ScriptError& e, int line, int column, Frame& f)
{
    if (!e.located) {
        e.line = line;
        e.column = column;
        e.unit = f.proc->unit;
        e.located = true;
    }
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
        if (!stop.unit) {
            stop.line = line;
            stop.column = column;
            stop.unit = f.proc->unit;
        }
        throw;
    } catch (ScriptError& e) {
        raiseFrom(e, line, column, f);
        return true;
    } catch (const VbError& v) {
        ScriptError e;
        e.number = v.number();
        e.description = v.description();
        raiseFrom(e, line, column, f);
        return true;
    } catch (const std::bad_alloc&) {
        ScriptError e;
        e.number = vberr::OutOfMemory;
        e.description = vbErrorDescription(e.number);
        raiseFrom(e, line, column, f);
    } catch (const std::length_error&) {
        ScriptError e;
        e.number = vberr::OutOfMemory;
        e.description = vbErrorDescription(e.number);
        raiseFrom(e, line, column, f);
    }
    return false;
}

void Runtime::releaseHoldings(Frame& f, const Code& code, const StatementEntry& at, size_t count) noexcept
{
    for (size_t i = 0; i < count; ++i) {
        const Holding& h = code.holdings[at.holdingsBegin + i];
        if (h.kind == Holding::Iterator) {
            ForEachState& state = f.iterators[h.index];
            state.items.reset();
            state.collection = Value();
        } else {
            f.locals[h.index] = Value();
        }
    }
}

Value Runtime::execute(Frame& f, const Code& code)
{
    std::unique_ptr<ForEachState[]> iterators;
    if (code.iterators > 0) {
        iterators = std::make_unique<ForEachState[]>(static_cast<size_t>(code.iterators));
        f.iterators = iterators.get();
    }
    Value* const base = f.stack;
    Value* sp = base;
    const Instr* const instrs = code.instrs.data();
    size_t pc = 0;
    while (true) {
        try {
            while (true) {
                const Instr& in = instrs[pc++];
                switch (in.op) {
                case OpCode::RunStatement:
                    execStmt(*code.stmts[static_cast<size_t>(in.a)], f);
                    break;
                case OpCode::PushExpr:
                    *sp = eval(*code.exprs[static_cast<size_t>(in.a)], f);
                    ++sp;
                    break;
                case OpCode::Jump:
                    pc = static_cast<size_t>(in.a);
                    break;
                case OpCode::LoopBack:
                    checkStep();
                    pc = static_cast<size_t>(in.a);
                    break;
                case OpCode::CheckStep:
                    checkStep();
                    break;
                case OpCode::JumpIfFalse: {
                    const bool c = conditionTrue(sp[-1]);
                    *--sp = Value();
                    if (!c)
                        pc = static_cast<size_t>(in.a);
                    break;
                }
                case OpCode::JumpIfTrue: {
                    const bool c = conditionTrue(sp[-1]);
                    *--sp = Value();
                    if (c)
                        pc = static_cast<size_t>(in.a);
                    break;
                }
                case OpCode::Return:
                    if (in.flags)
                        return std::move(*--sp);
                    return Value();
                case OpCode::ToNumeric:
                    sp[-1] = sp[-1].toNumeric();
                    break;
                case OpCode::ForStart: {
                    Value step = in.flags ? std::move(*--sp) : Value::integer(1);
                    Value to = std::move(*--sp);
                    Value from = std::move(*--sp);
                    if (!forStart(f, code.forLoops[in.b], std::move(from), std::move(to), std::move(step)))
                        pc = static_cast<size_t>(in.a);
                    break;
                }
                case OpCode::ForNext:
                    if (forNext(f, code.forLoops[in.b]))
                        pc = static_cast<size_t>(in.a);
                    break;
                case OpCode::ForEachStart:
                    if (!forEachStart(f, code.forEachLoops[in.b], std::move(*--sp)))
                        pc = static_cast<size_t>(in.a);
                    break;
                case OpCode::ForEachNext:
                    if (forEachNext(f, code.forEachLoops[in.b], true))
                        pc = static_cast<size_t>(in.a);
                    break;
                case OpCode::ForEachEnd: {
                    ForEachState& state = f.iterators[in.b];
                    state.items.reset();
                    state.collection = Value();
                    break;
                }
                case OpCode::StoreHidden:
                    f.locals[in.b] = std::move(*--sp);
                    break;
                case OpCode::ClearHidden:
                    f.locals[in.b] = Value();
                    break;
                case OpCode::CaseMatch: {
                    const Value& test = f.locals[in.b];
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
                    sp[-1] = Value::boolean(match);
                    break;
                }
                case OpCode::CaseRange: {
                    const Value& test = f.locals[in.b];
                    const bool testLiteral = in.flags & kCaseTestLiteral;
                    const auto low = compareValues(test, sp[-2], testLiteral, in.flags & kCaseValueLiteral);
                    const auto high = compareValues(test, sp[-1], testLiteral, in.flags & kCaseHighLiteral);
                    *--sp = Value();
                    sp[-1] = Value::boolean(low && high && *low >= 0 && *high <= 0);
                    break;
                }
                }
            }
        } catch (...) {
            // An Eval expression has no statements: its errors belong to
            // the statement that called Eval.
            if (code.statements.empty())
                throw;
            // The temporaries of the failed statement go first, the most
            // recent first, as they would unwinding the evaluation.
            while (sp != base)
                *--sp = Value();
            const StatementEntry& at = code.statementAt(pc - 1);
            bool scriptError;
            try {
                scriptError = trapError(at.line, at.column, f);
            } catch (...) {
                releaseHoldings(f, code, at, at.holdingsCount);
                throw;
            }
            releaseHoldings(f, code, at, at.releaseOnResume);
            pc = scriptError ? at.resume : at.resumeAfter;
        }
    }
}

} // namespace quillet::script
