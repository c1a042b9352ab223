// Binary operators as the machine applies them: the common cases (whole
// numbers, Doubles, appending to a String held once) without going through
// the general Variant rules of operators.h.
#pragma once

#include "script/core/ast.h"
#include "script/value.h"

#include <cmath>
#include <new>

namespace quillet::script {

// Puts `v` in place of what `slot` holds.  Unlike assignment this needs no
// check for self-assignment and no temporary, which matters in the
// machine's loop.
inline void replaceValue(Value& slot, Value&& v) noexcept
{
    slot.~Value();
    ::new (static_cast<void*>(&slot)) Value(std::move(v));
}

// `left` may be consumed (Concat appends to it in place).
Value applyBinary(Op op, Value& left, const Value& right, bool leftLiteral, bool rightLiteral);

// Integer or Long: the values the whole-number shortcuts of the machine
// and of For loops take, read with rawLong().
inline bool isIntegerOrLong(const Value& v)
{
    return v.type() == Type::Integer || v.type() == Type::Long;
}

// The hottest cases, inline in the machine's loop: Integer and Long
// operands of + - * \ Mod and the comparisons.  False when `left op right` needs
// applyBinary; otherwise `left` holds the result.
[[gnu::always_inline]] inline bool applyWholeInPlace(Op op, Value& left, const Value& right)
{
    if (!isIntegerOrLong(left) || !isIntegerOrLong(right))
        return false;
    const Type lt = left.type(), rt = right.type();
    const int64_t x = left.rawLong(), y = right.rawLong();
    int64_t r;
    switch (op) {
    case Op::Add: r = x + y; break;
    case Op::Sub: r = x - y; break;
    case Op::Mul: r = x * y; break;
    case Op::Mod:
    case Op::IntDiv:
        // By zero is an error, and Long's lowest \ -1 overflows: the general path.
        if (y == 0 || y == -1)
            return false;
        r = op == Op::Mod ? x % y : x / y;
        break;
    case Op::Eq: replaceValue(left, Value::boolean(x == y)); return true;
    case Op::Ne: replaceValue(left, Value::boolean(x != y)); return true;
    case Op::Lt: replaceValue(left, Value::boolean(x < y)); return true;
    case Op::Gt: replaceValue(left, Value::boolean(x > y)); return true;
    case Op::Le: replaceValue(left, Value::boolean(x <= y)); return true;
    case Op::Ge: replaceValue(left, Value::boolean(x >= y)); return true;
    default: return false;
    }
    // Integer op Integer stays Integer while it fits; then Long, then Double.
    if (lt == Type::Integer && rt == Type::Integer && r >= INT16_MIN && r <= INT16_MAX)
        replaceValue(left, Value::integer(static_cast<int16_t>(r)));
    else if (r >= INT32_MIN && r <= INT32_MAX)
        replaceValue(left, Value::longInt(static_cast<int32_t>(r)));
    else
        replaceValue(left, Value::dbl(static_cast<double>(r)));
    return true;
}

// The next hottest: + - * / where a Double meets a Double or a whole
// number, and / of whole numbers, when the result is finite (an infinite or
// undefined one is an error the general rules raise).  False when `left op
// right` needs applyBinary; otherwise `left` holds the result.
[[gnu::always_inline]] inline bool applyFloatInPlace(Op op, Value& left, const Value& right)
{
    const Type lt = left.type(), rt = right.type();
    const bool leftDouble = lt == Type::Double, rightDouble = rt == Type::Double;
    if (!(leftDouble || isIntegerOrLong(left)) || !(rightDouble || isIntegerOrLong(right)))
        return false;
    if (!leftDouble && !rightDouble && op != Op::Div)
        return false;
    const double x = leftDouble ? left.rawDouble() : left.rawLong();
    const double y = rightDouble ? right.rawDouble() : right.rawLong();
    double r;
    switch (op) {
    case Op::Add: r = x + y; break;
    case Op::Sub: r = x - y; break;
    case Op::Mul: r = x * y; break;
    case Op::Div:
        if (y == 0.0)
            return false;
        r = x / y;
        break;
    default: return false;
    }
    if (!std::isfinite(r))
        return false;
    replaceValue(left, Value::dbl(r));
    return true;
}

// `left op right` into `left`, a slot of the machine's stack: the common
// cases inline, the rest by the general rules.  `right` is a copy the
// general rules may keep using while script code runs (an object's default
// member), so a variable read in place is copied first.
[[gnu::always_inline]] inline void binaryInto(Op op, Value& left, const Value& right, bool leftLiteral,
                                              bool rightLiteral, bool rightInPlace)
{
    if (applyWholeInPlace(op, left, right) || applyFloatInPlace(op, left, right))
        return;
    Value result = rightInPlace ? applyBinary(op, left, Value(right), leftLiteral, rightLiteral)
                                : applyBinary(op, left, right, leftLiteral, rightLiteral);
    replaceValue(left, std::move(result));
}

} // namespace quillet::script
