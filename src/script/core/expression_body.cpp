#include "script/core/expression_body.h"

#include <algorithm>

namespace quillet::script {
namespace {

// Gives each operator of an expression its registers: the values worked
// out on the way take the temporary registers as a stack does, so an
// operator's result goes where its left operand was when that was one.
class OpWriter {
public:
    OpWriter(const Procedure& proc, ExpressionBody& body) : proc_(proc), body_(body) {}

    // The register holding the value of `e`; -1 when `e` is anything the
    // operators cannot work out.
    int write(const Expr& e)
    {
        switch (e.kind) {
        case ExprKind::Literal:
            return number(static_cast<const LiteralExpr&>(e).value);
        case ExprKind::Paren:
            return write(*static_cast<const ParenExpr&>(e).inner);
        case ExprKind::Name:
            return name(static_cast<const NameExpr&>(e));
        case ExprKind::Binary: {
            const auto& b = static_cast<const BinaryExpr&>(e);
            if (!isArithmetic(b.op))
                return -1;
            const int left = write(*b.left);
            const int right = left < 0 ? -1 : write(*b.right);
            if (right < 0)
                return -1;
            release(right);
            release(left);
            const int target = temp();
            if (target >= 0)
                body_.ops.push_back(ExpressionOp{b.op, static_cast<uint8_t>(left), static_cast<uint8_t>(right),
                                                 static_cast<uint8_t>(target)});
            return target;
        }
        default:
            return -1;
        }
    }

private:
    int name(const NameExpr& n)
    {
        if (n.usedAsCallee)
            return -1;
        if (n.resolved == NameKind::Constant)
            return number(n.constant);
        // A parameter (the first locals), only read; one declared as an
        // array is left to the body.
        if (n.resolved != NameKind::Local || n.slot < 0 || static_cast<size_t>(n.slot) >= proc_.params.size() ||
            proc_.params[static_cast<size_t>(n.slot)].isArray)
            return -1;
        return n.slot;
    }

    int number(const Value& v)
    {
        InlineNumber n;
        if (!InlineNumber::from(v, n) || body_.numbers.size() == ExpressionBody::kNumbers)
            return -1;
        body_.numbers.push_back(n);
        return ExpressionBody::kFirstNumber + static_cast<int>(body_.numbers.size()) - 1;
    }

    int temp()
    {
        if (temps_ == ExpressionBody::kTemps)
            return -1;
        return ExpressionBody::kFirstTemp + static_cast<int>(temps_++);
    }
    void release(int r)
    {
        if (r >= ExpressionBody::kFirstTemp && r < ExpressionBody::kFirstNumber)
            --temps_;
    }

    const Procedure& proc_;
    ExpressionBody& body_;
    size_t temps_ = 0;
};

} // namespace

ExpressionBody expressionBody(const Procedure& proc)
{
    ExpressionBody body;
    if (proc.kind != ProcKind::Function || proc.owner || proc.outer || proc.resultSlot < 0 ||
        proc.params.size() > ExpressionBody::kParams || proc.body.size() != 1 ||
        proc.body[0]->kind != StmtKind::Assign)
        return body;
    const auto& assign = static_cast<const AssignStmt&>(*proc.body[0]);
    if (assign.isSet || assign.target->kind != ExprKind::Name)
        return body;
    const auto& target = static_cast<const NameExpr&>(*assign.target);
    if (target.resolved != NameKind::Local || target.slot != proc.resultSlot)
        return body;
    const int result = OpWriter(proc, body).write(*assign.value);
    if (result < 0)
        return ExpressionBody{};
    body.valid = true;
    body.result = static_cast<uint8_t>(result);
    const bool divides =
        std::any_of(body.ops.begin(), body.ops.end(), [](const ExpressionOp& o) { return o.op == Op::Div; });
    const bool anyDouble = std::any_of(body.numbers.begin(), body.numbers.end(),
                                       [](const InlineNumber& n) { return n.type == Type::Double; });
    body.whole = !divides && !anyDouble;
    return body;
}

} // namespace quillet::script
