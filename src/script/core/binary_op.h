// Binary operators as the machine applies them: the common cases (whole
// numbers, Doubles, appending to a String held once) without going through
// the general Variant rules of operators.h.
#pragma once

#include "script/core/ast.h"
#include "script/core/inline_number.h"
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

// A variable's or an element's value replaced as the stores replace it:
// the old value goes once the new one is there (its Class_Terminate may
// look at the variable).
inline void replaceElement(Value& element, Value&& v)
{
    // An old value that holds no text, array or object has nothing to release.
    if (element.type() < Type::String) [[likely]] {
        ::new (static_cast<void*>(&element)) Value(std::move(v));
        return;
    }
    Value old(std::move(element));
    ::new (static_cast<void*>(&element)) Value(std::move(v));
}

// `left` may be consumed (Concat appends to it in place).
Value applyBinary(Op op, Value& left, const Value& right, bool leftLiteral, bool rightLiteral);

// `l op r` for the arithmetic operators: + - * \ Mod of whole numbers (an
// Integer result while it fits, then Long, then Double), and + - * / where
// a Double takes part or / of whole numbers, when the result is finite.
// False (l unchanged) for anything else, which the general rules do: by
// zero is an error, Long's lowest \ -1 overflows, an infinite or undefined
// result is an error.
[[gnu::always_inline]] inline bool applyInline(Op op, InlineNumber& l, const InlineNumber& r)
{
    if (l.type != Type::Double && r.type != Type::Double && op != Op::Div) {
        const int64_t x = l.whole, y = r.whole;
        int64_t v;
        switch (op) {
        case Op::Add: v = x + y; break;
        case Op::Sub: v = x - y; break;
        case Op::Mul: v = x * y; break;
        case Op::Mod:
        case Op::IntDiv:
            if (y == 0 || y == -1)
                return false;
            v = op == Op::Mod ? x % y : x / y;
            break;
        default: return false;
        }
        if (l.type == Type::Integer && r.type == Type::Integer && v >= INT16_MIN && v <= INT16_MAX) {
            l.whole = v;
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            l.type = Type::Long;
            l.whole = v;
        } else {
            l.type = Type::Double;
            l.real = static_cast<double>(v);
        }
        return true;
    }
    const double x = l.type == Type::Double ? l.real : static_cast<double>(l.whole);
    const double y = r.type == Type::Double ? r.real : static_cast<double>(r.whole);
    double v;
    switch (op) {
    case Op::Add: v = x + y; break;
    case Op::Sub: v = x - y; break;
    case Op::Mul: v = x * y; break;
    case Op::Div:
        if (y == 0.0)
            return false;
        v = x / y;
        break;
    default: return false;
    }
    if (!std::isfinite(v))
        return false;
    l.type = Type::Double;
    l.real = v;
    return true;
}

// The operators applyInline computes.
inline bool isArithmetic(Op op)
{
    return op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Div || op == Op::IntDiv || op == Op::Mod;
}

// The six comparison operators (= <> < > <= >=), which compare whole
// numbers directly.
inline bool isWholeComparison(Op op)
{
    return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Gt || op == Op::Le || op == Op::Ge;
}

// `x op y` for one of those operators.
[[gnu::always_inline]] inline bool compareWhole(Op op, int32_t x, int32_t y)
{
    switch (op) {
    case Op::Eq: return x == y;
    case Op::Ne: return x != y;
    case Op::Lt: return x < y;
    case Op::Gt: return x > y;
    case Op::Le: return x <= y;
    default: return x >= y;
    }
}

// The hottest cases, inline in the machine's loop: comparisons of Integers
// and Longs, and the arithmetic of applyInline.  False when `left op right`
// needs applyBinary; otherwise `left` holds the result.
[[gnu::always_inline]] inline bool applyInPlace(Op op, Value& left, const Value& right)
{
    // Either way `left` was found to be a number, which has nothing to
    // release: the result is made over it.
    if (isWholeComparison(op) && isIntegerOrLong(left) && isIntegerOrLong(right)) {
        ::new (static_cast<void*>(&left)) Value(Value::boolean(compareWhole(op, left.rawLong(), right.rawLong())));
        return true;
    }
    InlineNumber l, r;
    if (!InlineNumber::from(left, l) || !InlineNumber::from(right, r) || !applyInline(op, l, r))
        return false;
    ::new (static_cast<void*>(&left)) Value(l.value());
    return true;
}

// `left op right` into `left`, a slot of the machine's stack: the common
// cases inline, the rest by the general rules.  `right` is a copy the
// general rules may keep using while script code runs (an object's default
// member), so a variable read in place is copied first.
[[gnu::always_inline]] inline void binaryInto(Op op, Value& left, const Value& right, bool leftLiteral,
                                              bool rightLiteral, bool rightInPlace)
{
    if (applyInPlace(op, left, right))
        return;
    Value result = rightInPlace ? applyBinary(op, left, Value(right), leftLiteral, rightLiteral)
                                : applyBinary(op, left, right, leftLiteral, rightLiteral);
    replaceValue(left, std::move(result));
}

} // namespace quillet::script
