// The simple statements: calls, assignments, declarations.
#include "script/core/arg_list.h"
#include "script/core/err_object.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"
#include "script/core/script_object.h"

#include <new>

namespace quillet::script {

void Runtime::execStmt(const Stmt& s, Frame& f)
{
    switch (s.kind) {
    case StmtKind::Call: {
        const Expr& e = *static_cast<const CallStmt&>(s).call;
        if (e.kind == ExprKind::Name)
            callName(static_cast<const NameExpr&>(e), f, nullptr);
        else
            eval(e, f);
        return;
    }
    case StmtKind::Assign: {
        const auto& a = static_cast<const AssignStmt&>(s);
        Value value = eval(*a.value, f);
        if (a.target->kind == ExprKind::Name && !a.isSet && !value.isObject()) {
            // The common case, without the checks of assign().
            const auto& n = static_cast<const NameExpr&>(*a.target);
            if (n.resolved == NameKind::Local) {
                f.locals[n.slot].deref() = std::move(value);
                return;
            }
        }
        assign(*a.target, f, std::move(value), a.isSet);
        return;
    }
    case StmtKind::Append:
        execAppend(static_cast<const AppendStmt&>(s), f);
        return;
    case StmtKind::OnError:
        f.resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
        err_->clear();
        return;
    case StmtKind::Dim:
        execDim(static_cast<const DimStmt&>(s), f);
        return;
    case StmtKind::ReDim:
        execReDim(static_cast<const ReDimStmt&>(s), f);
        return;
    case StmtKind::Erase:
        execErase(static_cast<const EraseStmt&>(s), f);
        return;
    default:
        // Compound statements are compiled to jumps.
        return;
    }
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
