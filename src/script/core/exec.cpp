// Statements: control flow, declarations and the error trap of
// On Error Resume Next.
#include "script/core/arg_list.h"
#include "script/core/err_object.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

#include <new>

namespace quillet::script {

void Runtime::raiseFrom(ScriptError& e, const Stmt& s, Frame& f)
{
    if (!e.located) {
        e.line = s.line;
        e.column = s.column;
        e.unit = f.proc->unit;
        e.located = true;
    }
    if (f.resumeNext) {
        err_->set(e);
        return;
    }
    throw e;
}

void Runtime::trapError(const Stmt& s, Frame& f)
{
    try {
        throw;
    } catch (StopSignal& stop) {
        // Nothing catches a stop; it only learns where it happened.
        if (!stop.unit) {
            stop.line = s.line;
            stop.column = s.column;
            stop.unit = f.proc->unit;
        }
        throw;
    } catch (ScriptError& e) {
        raiseFrom(e, s, f);
    } catch (const VbError& v) {
        ScriptError e;
        e.number = v.number();
        e.description = v.description();
        raiseFrom(e, s, f);
    } catch (const std::bad_alloc&) {
        ScriptError e;
        e.number = vberr::OutOfMemory;
        e.description = vbErrorDescription(e.number);
        raiseFrom(e, s, f);
    } catch (const std::length_error&) {
        ScriptError e;
        e.number = vberr::OutOfMemory;
        e.description = vbErrorDescription(e.number);
        raiseFrom(e, s, f);
    }
}

Flow Runtime::execBlock(const Block& block, Frame& f)
{
    for (const StmtPtr& s : block) {
        try {
            const Flow flow = execStmt(*s, f);
            if (flow != Flow::Normal)
                return flow;
        } catch (...) {
            trapError(*s, f);
        }
    }
    return Flow::Normal;
}

Flow Runtime::execStmt(const Stmt& s, Frame& f)
{
    switch (s.kind) {
    case StmtKind::Call: {
        const Expr& e = *static_cast<const CallStmt&>(s).call;
        if (e.kind == ExprKind::Name)
            callName(static_cast<const NameExpr&>(e), f, nullptr);
        else
            eval(e, f);
        return Flow::Normal;
    }
    case StmtKind::Assign: {
        const auto& a = static_cast<const AssignStmt&>(s);
        Value value = eval(*a.value, f);
        if (a.target->kind == ExprKind::Name && !a.isSet && !value.isObject()) {
            // The common case, without the checks of assign().
            const auto& n = static_cast<const NameExpr&>(*a.target);
            if (n.resolved == NameKind::Local) {
                f.locals[n.slot].deref() = std::move(value);
                return Flow::Normal;
            }
        }
        assign(*a.target, f, std::move(value), a.isSet);
        return Flow::Normal;
    }
    case StmtKind::Append:
        execAppend(static_cast<const AppendStmt&>(s), f);
        return Flow::Normal;
    case StmtKind::If: {
        const auto& i = static_cast<const IfStmt&>(s);
        for (const auto& [cond, body] : i.branches) {
            bool taken;
            try {
                taken = conditionTrue(eval(*cond, f));
            } catch (...) {
                // With On Error Resume Next an error in the condition
                // continues with the statement after it: the Then part.
                if (!f.resumeNext)
                    throw;
                try {
                    throw;
                } catch (ScriptError& e) {
                    err_->set(e);
                } catch (const VbError& v) {
                    ScriptError e;
                    e.number = v.number();
                    e.description = v.description();
                    err_->set(e);
                }
                taken = true;
            }
            if (taken)
                return execBlock(body, f);
        }
        return execBlock(i.elseBlock, f);
    }
    case StmtKind::Select:
        return execSelect(static_cast<const SelectStmt&>(s), f);
    case StmtKind::For:
        return execFor(static_cast<const ForStmt&>(s), f);
    case StmtKind::ForEach:
        return execForEach(static_cast<const ForEachStmt&>(s), f);
    case StmtKind::Do: {
        const auto& d = static_cast<const DoStmt&>(s);
        auto keepGoing = [&] {
            if (!d.condition)
                return true;
            const bool c = conditionTrue(eval(*d.condition, f));
            return d.until ? !c : c;
        };
        if (!d.testAtEnd && !keepGoing())
            return Flow::Normal;
        while (true) {
            const Flow flow = execBlock(d.body, f);
            if (flow == Flow::ExitDo)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            checkStep();
            if (!keepGoing())
                return Flow::Normal;
        }
    }
    case StmtKind::Exit: {
        switch (static_cast<const ExitStmt&>(s).what) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
        }
    }
    case StmtKind::With: {
        const auto& w = static_cast<const WithStmt&>(s);
        f.locals[w.slot] = eval(*w.object, f);
        struct Clear {
            Value& slot;
            ~Clear() { slot = Value(); }
        } clear{f.locals[w.slot]};
        return execBlock(w.body, f);
    }
    case StmtKind::OnError:
        f.resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
        err_->clear();
        return Flow::Normal;
    case StmtKind::Dim:
        execDim(static_cast<const DimStmt&>(s), f);
        return Flow::Normal;
    case StmtKind::ReDim:
        execReDim(static_cast<const ReDimStmt&>(s), f);
        return Flow::Normal;
    case StmtKind::Erase:
        execErase(static_cast<const EraseStmt&>(s), f);
        return Flow::Normal;
    }
    return Flow::Normal;
}

void Runtime::execAppend(const AppendStmt& s, Frame& f)
{
    const auto& n = static_cast<const NameExpr&>(*s.target);
    // Evaluate the pieces first: they may read the variable itself.
    Text tail;
    bool allNull = true;
    for (const ExprPtr& piece : s.pieces) {
        const Value v = eval(*piece, f);
        if (v.isArray())
            throw VbError(vberr::TypeMismatch);
        if (v.isNull())
            continue;
        allNull = false;
        if (v.isString())
            tail += v.rawText();
        else
            tail += v.toConcatText();
    }
    Value* target = variablePtr(n, f);
    if (!target) {
        // A property or the like: the general path.
        Value current = evalName(n, f);
        if (!(current.isNull() && allNull))
            current.appendText(tail);
        assignName(n, f, std::move(current), false);
        return;
    }
    if (target->isNull() && allNull)
        return;
    if (target->isArray())
        throw VbError(vberr::TypeMismatch);
    if (target->isObject()) {
        Value text = Value::string(target->toConcatText());
        text.appendText(tail);
        *target = std::move(text);
        return;
    }
    target->appendText(tail);
}

Flow Runtime::execFor(const ForStmt& s, Frame& f)
{
    const auto& counterName = static_cast<const NameExpr&>(*s.counter);
    Value from, to, step;
    try {
        // All three before the counter is touched.
        from = eval(*s.from, f).toNumeric();
        to = eval(*s.to, f).toNumeric();
        step = s.step ? eval(*s.step, f).toNumeric() : Value::integer(1);
        if (from.isNull() || to.isNull() || step.isNull())
            throw VbError(vberr::InvalidUseOfNull);
    } catch (...) {
        if (!f.resumeNext)
            throw;
        // Under On Error Resume Next the error is recorded and execution
        // resumes at the next statement, the first of the body: it runs
        // once with the counter untouched, and reaching Next then finds a
        // loop that never started (error 92, resumed after the loop).
        trapError(s, f);
        const Flow flow = execBlock(s.body, f);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        throw VbError(vberr::ForNotInitialized);
    }

    auto isWhole = [](const Value& v) { return v.type() == Type::Integer || v.type() == Type::Long; };
    Value* counter = variablePtr(counterName, f);
    if (counter && isWhole(from) && isWhole(to) && isWhole(step)) {
        // Whole-number loop: no Variant arithmetic per turn.
        const bool narrow = from.type() == Type::Integer && step.type() == Type::Integer;
        int64_t i = from.rawLong();
        const int64_t end = to.rawLong(), st = step.rawLong();
        while (st >= 0 ? i <= end : i >= end) {
            counter = variablePtr(counterName, f);
            *counter = narrow && i >= INT16_MIN && i <= INT16_MAX ? Value::integer(static_cast<int16_t>(i))
                                                                  : Value::longInt(static_cast<int32_t>(i));
            const Flow flow = execBlock(s.body, f);
            if (flow == Flow::ExitFor)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            checkStep();
            // The body may change the counter.
            counter = variablePtr(counterName, f);
            if (!isWhole(*counter))
                goto general;
            i = int64_t(counter->rawLong()) + st;
            if (i > INT32_MAX || i < INT32_MIN) {
                // Past the Long range the counter goes on as a Double.
                *counter = Value::dbl(static_cast<double>(i - st));
                goto general_step;
            }
        }
        counter = variablePtr(counterName, f);
        *counter = narrow && i >= INT16_MIN && i <= INT16_MAX ? Value::integer(static_cast<int16_t>(i))
                                                              : Value::longInt(static_cast<int32_t>(i));
        return Flow::Normal;
    }
    assignName(counterName, f, from, false);
    while (true) {
        {
            const Value current = evalName(counterName, f);
            const auto c = compareValues(current, to, false, false);
            const bool positive = step.toDouble() >= 0;
            if (!c || (positive ? *c > 0 : *c < 0))
                return Flow::Normal;
        }
        {
            const Flow flow = execBlock(s.body, f);
            if (flow == Flow::ExitFor)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            checkStep();
        }
    general:
    general_step:
        assignName(counterName, f, binaryOp(Op::Add, evalName(counterName, f), step), false);
    }
}

Flow Runtime::execForEach(const ForEachStmt& s, Frame& f)
{
    const auto& element = static_cast<const NameExpr&>(*s.element);
    const Value collection = eval(*s.collection, f);
    if (collection.isArray()) {
        // The loop walks the array as it was when the loop started.
        const Value snapshot = collection;
        const ArrayRep* rep = snapshot.rawArray();
        for (size_t i = 0; i < rep->items.size(); ++i) {
            assignName(element, f, rep->items[i], false);
            const Flow flow = execBlock(s.body, f);
            if (flow == Flow::ExitFor)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            checkStep();
        }
        return Flow::Normal;
    }
    if (!collection.isObject() || !collection.rawObject())
        throw VbError(collection.isObject() ? vberr::ObjectNotSet : vberr::NotACollection);
    std::unique_ptr<Enumerator> items = collection.rawObject()->enumerate();
    if (!items)
        throw VbError(vberr::NotACollection);
    Value item;
    while (items->next(item)) {
        assignName(element, f, std::move(item), false);
        item = Value();
        const Flow flow = execBlock(s.body, f);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        checkStep();
    }
    return Flow::Normal;
}

Flow Runtime::execSelect(const SelectStmt& s, Frame& f)
{
    const Value test = eval(*s.test, f);
    const bool testLiteral = s.test->kind == ExprKind::Literal;
    for (const auto& [items, body] : s.cases) {
        for (const CaseItem& item : items) {
            const Value first = eval(*item.first, f);
            const bool firstLiteral = item.first->kind == ExprKind::Literal;
            bool match = false;
            switch (item.kind) {
            case CaseItem::Value: {
                const auto c = compareValues(test, first, testLiteral, firstLiteral);
                match = c && *c == 0;
                break;
            }
            case CaseItem::Range: {
                const Value second = eval(*item.second, f);
                const auto low = compareValues(test, first, testLiteral, firstLiteral);
                const auto high = compareValues(test, second, testLiteral, item.second->kind == ExprKind::Literal);
                match = low && high && *low >= 0 && *high <= 0;
                break;
            }
            case CaseItem::Compare:
                match = conditionTrue(comparisonOp(item.op, test, first, testLiteral, firstLiteral));
                break;
            }
            if (match)
                return execBlock(body, f);
        }
    }
    if (s.hasElse)
        return execBlock(s.elseBlock, f);
    return Flow::Normal;
}

void Runtime::execDim(const DimStmt& s, Frame& f)
{
    for (const DimItem& item : s.items) {
        Value* target = variablePtr(*item.target, f);
        if (!target)
            throw VbError(vberr::IllegalAssignment);
        if (item.bounds.empty()) {
            if (!target->isArray())
                *target = Value::array(new ArrayRep);
            continue;
        }
        // A declaration, not an action: running `Dim a(3)` again (in a
        // loop) keeps the array it made the first time.
        if (target->isArray() && target->rawArray()->fixedSize)
            continue;
        std::vector<int32_t> bounds;
        for (const ExprPtr& b : item.bounds)
            bounds.push_back(eval(*b, f).toInt32());
        Value array = Value::newArray(bounds);
        array.rawArray()->fixedSize = true;
        target = variablePtr(*item.target, f);
        *target = std::move(array);
    }
}

void Runtime::execReDim(const ReDimStmt& s, Frame& f)
{
    for (const DimItem& item : s.items) {
        std::vector<int32_t> bounds;
        for (const ExprPtr& b : item.bounds)
            bounds.push_back(eval(*b, f).toInt32());
        Value* target = variablePtr(*item.target, f);
        if (!target)
            throw VbError(vberr::IllegalAssignment);
        if (target->isArray() && (target->rawArray()->fixedSize || target->rawArray()->locks > 0))
            throw VbError(vberr::ArrayLocked);
        Value array = Value::newArray(bounds);
        if (s.preserve && target->isArray() && !target->rawArray()->dims.empty()) {
            const ArrayRep* old = target->rawArray();
            ArrayRep* fresh = array.rawArray();
            if (old->dims.size() != fresh->dims.size())
                throw VbError(vberr::SubscriptOutOfRange);
            for (size_t d = 0; d + 1 < old->dims.size(); ++d) {
                if (old->dims[d].count != fresh->dims[d].count)
                    throw VbError(vberr::SubscriptOutOfRange);
            }
            // Only the last dimension may change: copy row by row.
            const size_t oldLast = static_cast<size_t>(old->dims.back().count);
            const size_t newLast = static_cast<size_t>(fresh->dims.back().count);
            const size_t rows = oldLast == 0 ? 0 : old->items.size() / oldLast;
            const size_t keep = std::min(oldLast, newLast);
            // A String array stays one; its new elements are empty texts.
            fresh->textItems = old->textItems;
            if (fresh->textItems) {
                for (Value& v : fresh->items)
                    v = Value::string(Text());
            }
            for (size_t r = 0; r < rows; ++r) {
                for (size_t c = 0; c < keep; ++c)
                    fresh->items[r * newLast + c] = old->items[r * oldLast + c];
            }
        }
        target = variablePtr(*item.target, f);
        *target = std::move(array);
    }
}

void Runtime::execErase(const EraseStmt& s, Frame& f)
{
    for (const ExprPtr& e : s.targets) {
        Value* target = variablePtr(static_cast<const NameExpr&>(*e), f);
        if (!target || !target->isArray())
            throw VbError(vberr::TypeMismatch);
        if (target->rawArray()->locks > 0)
            throw VbError(vberr::ArrayLocked);
        if (target->rawArray()->fixedSize) {
            ArrayRep* rep = target->mutableArray();
            for (Value& v : rep->items)
                v = Value();
        } else {
            auto* rep = new ArrayRep;
            rep->textItems = target->rawArray()->textItems;
            *target = Value::array(rep);
        }
    }
}

} // namespace quillet::script
