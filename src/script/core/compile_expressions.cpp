// Expressions, calls and assignments as stack code.  What a call does with
// its arguments follows what the callee is: builtins take values, script
// procedures and methods references; for a global name or a member found
// only at run time, a "prepare" instruction pushes the mode the argument
// instructions read.
#include "script/core/code_builder.h"

#include <algorithm>
#include <limits>

namespace quillet::script {

void CodeBuilder::value(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Literal:
        emit(OpCode::PushConst, 0, 0, constantIndex(static_cast<const LiteralExpr&>(e).value));
        grow(1);
        return;
    case ExprKind::Name:
        nameValue(static_cast<const NameExpr&>(e));
        return;
    case ExprKind::Call: {
        const auto& c = static_cast<const CallExpr&>(e);
        call(*c.target, &c.args);
        return;
    }
    case ExprKind::Member:
        call(e, nullptr);
        return;
    case ExprKind::Me:
        emit(OpCode::PushMe);
        grow(1);
        return;
    case ExprKind::New:
        code_.classNames.push_back(static_cast<const NewExpr&>(e).className);
        emit(OpCode::New, 0, 0, static_cast<int32_t>(code_.classNames.size() - 1));
        grow(1);
        return;
    case ExprKind::Paren:
        value(*static_cast<const ParenExpr&>(e).inner);
        return;
    case ExprKind::Unary: {
        const auto& u = static_cast<const UnaryExpr&>(e);
        value(*u.operand);
        emit(OpCode::Unary, 0, static_cast<uint16_t>(u.op));
        return;
    }
    case ExprKind::Binary: {
        const auto& b = static_cast<const BinaryExpr&>(e);
        const uint8_t flags = (b.leftLiteral ? kLeftLiteral : 0) | (b.rightLiteral ? kRightLiteral : 0);
        const auto op = static_cast<uint16_t>(b.op);
        // A right operand that is a constant or a variable is read where
        // it is when the operator runs, not pushed: the left operand is
        // evaluated already, so the order stays the same (a global that
        // turns out to be a function is called there).  A left operand
        // that is a variable is then read by the same instruction.
        const Expr& right = *b.right;
        const std::optional<OperandKind> inPlace = inPlaceOperand(right);
        if (inPlace && fusedBinary(*b.left, right, *inPlace, flags, b.op))
            return;
        value(*b.left);
        if (inPlace) {
            static constexpr OpCode forKind[] = {OpCode::BinaryConst, OpCode::BinaryLocal, OpCode::BinaryGlobal};
            emit(forKind[static_cast<int>(*inPlace)], flags, op, operandIndex(right, *inPlace));
            return;
        }
        value(right);
        emit(OpCode::Binary, flags, op);
        grow(-1);
        return;
    }
    }
}

std::optional<OperandKind> CodeBuilder::inPlaceOperand(const Expr& e)
{
    if (e.kind == ExprKind::Literal)
        return OperandKind::Const;
    if (e.kind != ExprKind::Name)
        return std::nullopt;
    switch (static_cast<const NameExpr&>(e).resolved) {
    case NameKind::Constant: return OperandKind::Const;
    case NameKind::Local: return OperandKind::Local;
    case NameKind::Global: return OperandKind::Global;
    default: return std::nullopt;
    }
}

int32_t CodeBuilder::operandIndex(const Expr& e, OperandKind kind)
{
    if (e.kind == ExprKind::Literal)
        return constantIndex(static_cast<const LiteralExpr&>(e).value);
    const auto& n = static_cast<const NameExpr&>(e);
    switch (kind) {
    case OperandKind::Const: return constantIndex(n.constant);
    case OperandKind::Local: return n.slot;
    case OperandKind::Global: return nameIndex(n);
    }
    return 0;
}

bool CodeBuilder::fusedBinary(const Expr& left, const Expr& right, OperandKind rightKind, uint8_t flags, Op op)
{
    if (left.kind != ExprKind::Name)
        return false;
    const auto& n = static_cast<const NameExpr&>(left);
    constexpr size_t kMaxLeft = std::numeric_limits<uint16_t>::max();
    OpCode opcode;
    size_t leftIndex;
    if (n.resolved == NameKind::Local) {
        opcode = OpCode::LocalBinary;
        leftIndex = static_cast<size_t>(n.slot);
    } else if (n.resolved == NameKind::Global) {
        opcode = OpCode::GlobalBinary;
        leftIndex = code_.names.size(); // where nameIndex puts it
    } else {
        return false;
    }
    // The right operand's index is known only once it is added: the
    // bound is checked on what it can be at most.
    const size_t rightBound = rightKind == OperandKind::Local
                                  ? static_cast<size_t>(static_cast<const NameExpr&>(right).slot)
                                  : std::max(code_.constants.size(), code_.names.size() + 1);
    if (leftIndex >= kMaxLeft || rightBound >= static_cast<size_t>(RightOperand::kMaxIndex))
        return false;
    if (opcode == OpCode::GlobalBinary)
        nameIndex(n);
    const int32_t rightIndex = operandIndex(right, rightKind);
    emit(opcode, static_cast<uint8_t>(flags | (static_cast<unsigned>(op) << kBinaryOpShift)),
         static_cast<uint16_t>(leftIndex), RightOperand::pack(rightKind, rightIndex));
    grow(1);
    return true;
}

void CodeBuilder::nameValue(const NameExpr& n)
{
    if (n.resolved == NameKind::Local)
        emit(OpCode::LoadLocal, 0, 0, n.slot);
    else if (n.resolved == NameKind::Constant)
        emit(OpCode::PushConst, 0, 0, constantIndex(n.constant));
    else if (n.resolved == NameKind::Global)
        emit(OpCode::LoadGlobal, 0, 0, nameIndex(n));
    else if (n.resolved == NameKind::Builtin)
        callBuiltin(n, nullptr, false); // `x = Randomize` is a call too
    else
        emit(OpCode::LoadName, 0, 0, nameIndex(n));
    grow(1);
}

void CodeBuilder::call(const Expr& target, const std::vector<ExprPtr>* args, bool discarded)
{
    const int start = depth_;
    const uint16_t argc = count(args ? args->size() : 0);
    // `x()`: an object's default member is called, not the object read.
    const uint8_t emptyParens = args && args->empty() ? kEmptyParens : 0;
    if (target.kind == ExprKind::Member) {
        const auto& m = static_cast<const MemberExpr&>(target);
        const int32_t site = memberIndex(m);
        memberObject(m);
        emit(OpCode::MemberPrep, 0, 0, site);
        grow(1);
        arguments(args, ArgPassing{ArgPassing::ByMode, start + 1});
        const bool onMe = m.object && m.object->kind == ExprKind::Me;
        emit(OpCode::MemberCall, onMe ? 1 : 0, argc, site);
    } else if (target.kind == ExprKind::Name) {
        const auto& n = static_cast<const NameExpr&>(target);
        const bool hasArgs = argc > 0;
        switch (n.resolved) {
        case NameKind::Local:
        case NameKind::OuterLocal:
        case NameKind::OuterExecuted:
        case NameKind::Field:
            emit(OpCode::LoadCallee, hasArgs ? 1 : 0, 0, nameIndex(n));
            grow(1);
            arguments(args, ArgPassing{});
            emit(OpCode::Index, emptyParens, argc);
            break;
        case NameKind::Global: {
            const int32_t name = nameIndex(n);
            emit(OpCode::GlobalPrep, hasArgs ? 1 : 0, 0, name);
            grow(2);
            arguments(args, ArgPassing{ArgPassing::ByMode, start + 1});
            emit(OpCode::GlobalCall, emptyParens, argc, name);
            break;
        }
        case NameKind::Constant:
            emit(OpCode::PushConst, 0, 0, constantIndex(n.constant));
            grow(1);
            arguments(args, ArgPassing{});
            emit(OpCode::Index, emptyParens, argc);
            break;
        case NameKind::ClassMember:
            arguments(args, ArgPassing{ArgPassing::ByRef});
            emit(OpCode::CallMethod, 0, argc, nameIndex(n));
            break;
        case NameKind::Builtin:
            callBuiltin(n, args, discarded);
            break;
        case NameKind::HostMember: {
            const int32_t name = nameIndex(n);
            emit(OpCode::HostPrep, 0, 0, name);
            grow(2);
            arguments(args, ArgPassing{ArgPassing::ByMode, start + 1});
            emit(OpCode::HostCall, 0, argc, name);
            break;
        }
        case NameKind::Unresolved:
            // Reading it raises the error, before any argument.
            emit(OpCode::LoadName, 0, 0, nameIndex(n));
            grow(1);
            return;
        }
    } else {
        value(target);
        arguments(args, ArgPassing{});
        emit(OpCode::Index, emptyParens, argc);
    }
    // Whatever the call pushed collapses to its result.
    grow(start + 1 - depth_);
}

void CodeBuilder::callBuiltin(const NameExpr& n, const std::vector<ExprPtr>* args, bool discarded)
{
    arguments(args, ArgPassing{});
    emit(OpCode::CallBuiltin, 0, count(args ? args->size() : 0), nameIndex(n));
    const BuiltinUse use = n.builtin->use;
    if (use == BuiltinUse::Conversion && discarded)
        emit(OpCode::Fail, 0, 0, vberr::UnsupportedType);
    else if (use == BuiltinUse::Procedure && !discarded)
        emit(OpCode::Fail, 0, 0, vberr::TypeMismatch);
}

void CodeBuilder::memberObject(const MemberExpr& m)
{
    if (m.object)
        value(*m.object);
    else if (m.withSlot >= 0)
        emit(OpCode::PushWith, 0, 0, m.withSlot);
    else
        emit(OpCode::Fail, 0, 0, vberr::UnqualifiedReference);
    if (!m.object)
        grow(1);
}

void CodeBuilder::arguments(const std::vector<ExprPtr>* args, ArgPassing passing)
{
    if (!args)
        return;
    for (const ExprPtr& a : *args) {
        if (!a) {
            emit(OpCode::PushMissing);
            grow(1);
            continue;
        }
        argument(*a, passing);
    }
}

void CodeBuilder::argument(const Expr& a, ArgPassing passing)
{
    if (passing.kind == ArgPassing::ByValue) {
        value(a);
        return;
    }
    const uint8_t flags = passing.kind == ArgPassing::ByRef ? kArgByRef : 0;
    const auto modeAt = static_cast<uint16_t>(passing.modeAt < 0 ? 0 : passing.modeAt);
    if (a.kind == ExprKind::Name && mayBeVariable(static_cast<const NameExpr&>(a))) {
        const auto& n = static_cast<const NameExpr&>(a);
        if (n.resolved == NameKind::Local)
            emit(OpCode::ArgLocal, flags, modeAt, n.slot);
        else
            emit(OpCode::ArgName, flags, modeAt, nameIndex(n));
        grow(1);
        return;
    }
    if (a.kind == ExprKind::Call) {
        // An array element passes by reference too.  Whether x in `x(i)`
        // holds an array is only known at run time: the element or call is
        // compiled as usual, and its last instruction takes a reference
        // instead of reading the element when it can.
        const auto& c = static_cast<const CallExpr&>(a);
        if (c.target->kind == ExprKind::Name && !c.args.empty()) {
            const auto& n = static_cast<const NameExpr&>(*c.target);
            if (mayBeVariable(n)) {
                const bool global = n.resolved == NameKind::Global;
                const int32_t name = nameIndex(n);
                code_.argSites.push_back(ArgSite{name, passing.kind == ArgPassing::ByRef ? -1 : passing.modeAt});
                const auto site = static_cast<int32_t>(code_.argSites.size() - 1);
                const uint16_t argc = count(c.args.size());
                const int start = depth_;
                if (global) {
                    emit(OpCode::GlobalPrep, 1, 0, name);
                    grow(2);
                    arguments(&c.args, ArgPassing{ArgPassing::ByMode, start + 1});
                    emit(OpCode::GlobalCallArg, 0, argc, site);
                } else {
                    emit(OpCode::LoadCallee, 1, 0, name);
                    grow(1);
                    arguments(&c.args, ArgPassing{});
                    emit(OpCode::IndexArg, 0, argc, site);
                }
                grow(start + 1 - depth_);
                return;
            }
        }
    }
    value(a);
}

void CodeBuilder::assignment(const AssignStmt& s)
{
    value(*s.value);
    const uint8_t set = s.isSet ? 1 : 0;
    const Expr& target = *s.target;
    if (target.kind == ExprKind::Name) {
        const auto& n = static_cast<const NameExpr&>(target);
        if (n.resolved == NameKind::Local && !s.isSet)
            emit(OpCode::StoreLocal, 0, 0, n.slot);
        else if (n.resolved == NameKind::Global && !s.isSet)
            emit(OpCode::StoreGlobal, 0, 0, nameIndex(n));
        else
            emit(OpCode::StoreName, set, 0, nameIndex(n));
        grow(-1);
        return;
    }
    // The value is settled (an object's default value taken, or checked
    // to be an object) before any part of the target is evaluated.
    emit(OpCode::AssignValue, set);
    const int start = depth_ - 1;
    if (target.kind == ExprKind::Member || target.kind == ExprKind::Call) {
        const Expr* callee = &target;
        const std::vector<ExprPtr>* args = nullptr;
        if (target.kind == ExprKind::Call) {
            callee = static_cast<const CallExpr&>(target).target.get();
            args = &static_cast<const CallExpr&>(target).args;
        }
        const uint16_t argc = count(args ? args->size() : 0);
        if (callee->kind == ExprKind::Member) {
            const auto& m = static_cast<const MemberExpr&>(*callee);
            const int32_t site = memberIndex(m);
            memberObject(m);
            arguments(args, ArgPassing{});
            const bool onMe = m.object && m.object->kind == ExprKind::Me;
            // The value goes after the arguments, where the callee wants it.
            grow(1);
            emit(OpCode::StoreMember, static_cast<uint8_t>(set | (onMe ? 2 : 0)), argc, site);
        } else if (callee->kind == ExprKind::Name) {
            const int32_t name = nameIndex(static_cast<const NameExpr&>(*callee));
            emit(OpCode::IndexedPrep, 0, 0, name);
            grow(1);
            arguments(args, ArgPassing{});
            grow(1);
            emit(OpCode::StoreIndexed, set, argc, name);
        } else if (callee->kind == ExprKind::Call) {
            nestedAssignment(static_cast<const CallExpr&>(target), s.isSet);
        } else {
            value(*callee);
            emit(OpCode::RequireObject);
            arguments(args, ArgPassing{});
            grow(1);
            emit(OpCode::StoreDefault, set, argc);
        }
    } else {
        emit(OpCode::Fail, 0, 0, vberr::IllegalAssignment);
    }
    grow(start - depth_);
}

// `a(1)(2) = x`: when the chain starts at a variable, an array held in an
// array element is written in place; otherwise the inner part is only
// read and must give an object to assign through.
void CodeBuilder::nestedAssignment(const CallExpr& target, bool isSet)
{
    const uint8_t set = isSet ? 1 : 0;
    const auto& inner = static_cast<const CallExpr&>(*target.target);
    std::vector<const CallExpr*> chain; // outermost first
    const Expr* e = &inner;
    while (e->kind == ExprKind::Call) {
        chain.push_back(static_cast<const CallExpr*>(e));
        e = static_cast<const CallExpr*>(e)->target.get();
    }
    const uint16_t argc = count(target.args.size());
    const int start = depth_;
    size_t toEnd = SIZE_MAX;
    if (e->kind == ExprKind::Name && mayBeVariable(static_cast<const NameExpr&>(*e))) {
        NestedSite site;
        site.base = nameIndex(static_cast<const NameExpr&>(*e));
        emit(OpCode::TestVariable, 0, 0, site.base);
        grow(1);
        const size_t readOnly = emit(OpCode::JumpIfFalse);
        grow(-1);
        // Every subscript is evaluated, left to right, before any storage
        // is unshared or any element address taken.
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            site.counts.push_back(count((*it)->args.size()));
            arguments(&(*it)->args, ArgPassing{});
        }
        arguments(&target.args, ArgPassing{});
        grow(1);
        code_.nested.push_back(std::move(site));
        emit(OpCode::StoreNested, set, argc, static_cast<int32_t>(code_.nested.size() - 1));
        toEnd = emit(OpCode::Jump);
        patch(readOnly, here());
        depth_ = start;
    }
    value(inner);
    emit(OpCode::RequireObject);
    arguments(&target.args, ArgPassing{});
    grow(1);
    emit(OpCode::StoreDefault, set, argc);
    if (toEnd != SIZE_MAX)
        patch(toEnd, here());
}

} // namespace quillet::script
