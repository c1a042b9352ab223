// A number held apart from a Value (InlineNumber), for the machine's
// arithmetic without Variant rules (binary_op.h) and for the constants the
// code keeps ready for it (code.h).
#pragma once

#include "script/value.h"

#include <cstdint>

namespace quillet::script {

// Integer or Long: the values the whole-number shortcuts of the machine
// and of For loops take, read with rawLong().
inline bool isIntegerOrLong(const Value& v)
{
    return v.type() == Type::Integer || v.type() == Type::Long;
}

// An Integer, Long or Double held apart from a Value, so that a chain of
// operators (the machine's whole-statement instructions) stays in
// registers instead of going through Values in memory.
struct InlineNumber {
    Type type = Type::Empty;
    int64_t whole = 0; // Integer, Long
    double real = 0;   // Double

    // False when `v` is no Integer, Long or Double.
    [[gnu::always_inline]] static bool from(const Value& v, InlineNumber& n)
    {
        n.type = v.type();
        if (isIntegerOrLong(v)) {
            n.whole = v.rawLong();
            return true;
        }
        n.real = v.rawDouble();
        return n.type == Type::Double;
    }
    Value value() const
    {
        if (type == Type::Double)
            return Value::dbl(real);
        return type == Type::Integer ? Value::integer(static_cast<int16_t>(whole))
                                     : Value::longInt(static_cast<int32_t>(whole));
    }
};

} // namespace quillet::script
