#include "script/core/binary_op.h"

#include "script/core/operators.h"

#include <cmath>

namespace quillet::script {
// Whole-number + - * \ Mod and comparisons come here only when applyInPlace
// leaves them (division by zero, overflow of \ -1).
Value applyBinary(Op op, Value& left, const Value& right, bool leftLiteral, bool rightLiteral)
{
    switch (op) {
    case Op::Concat:
        if (left.isString() && !right.isArray() && !right.isObject()) {
            if (right.isString())
                left.appendText(right.rawText());
            else if (!right.isNull())
                left.appendText(right.toText());
            return std::move(left);
        }
        return binaryOp(op, left, right);
    case Op::Add:
        if (left.type() == Type::Double && right.type() == Type::Double)
            return Value::dbl(left.rawDouble() + right.rawDouble());
        return binaryOp(op, left, right);
    case Op::Eq: case Op::Ne: case Op::Lt: case Op::Gt: case Op::Le: case Op::Ge:
        return comparisonOp(op, left, right, leftLiteral, rightLiteral);
    case Op::Div:
        if (isIntegerOrLong(left) && isIntegerOrLong(right) && right.rawLong() != 0)
            return Value::dbl(static_cast<double>(left.rawLong()) / right.rawLong());
        if (left.type() == Type::Double && right.type() == Type::Double && right.rawDouble() != 0.0) {
            const double r = left.rawDouble() / right.rawDouble();
            if (std::isfinite(r))
                return Value::dbl(r);
        }
        return binaryOp(op, left, right);
    case Op::Is:
        return Value::boolean(sameObject(left, right));
    default:
        return binaryOp(op, left, right);
    }
}

} // namespace quillet::script
