#include "script/core/binary_op.h"

#include "script/core/operators.h"

#include <cmath>

namespace quillet::script {
namespace {

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

bool bothInteger(const Value& a, const Value& b)
{
    return a.type() == Type::Integer && b.type() == Type::Integer;
}

} // namespace

// Whole-number + - * and comparisons never get here (applyWholeInPlace).
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
        if (bothWhole(left, right) && right.rawLong() != 0)
            return Value::dbl(static_cast<double>(left.rawLong()) / right.rawLong());
        if (left.type() == Type::Double && right.type() == Type::Double && right.rawDouble() != 0.0) {
            const double r = left.rawDouble() / right.rawDouble();
            if (std::isfinite(r))
                return Value::dbl(r);
        }
        return binaryOp(op, left, right);
    case Op::Mod:
    case Op::IntDiv:
        if (bothWhole(left, right) && right.rawLong() != 0 && right.rawLong() != -1) {
            const int32_t x = left.rawLong(), y = right.rawLong();
            return wholeSum(op == Op::Mod ? x % y : x / y, bothInteger(left, right));
        }
        return binaryOp(op, left, right);
    case Op::Is:
        return Value::boolean(sameObject(left, right));
    default:
        return binaryOp(op, left, right);
    }
}

} // namespace quillet::script
