// Functions whose whole body is one arithmetic expression over their
// parameters, such as `Function Bonus(a, b): Bonus = (a + b) \ 2`: the
// machine works out a call of one from its arguments alone when they are
// numbers, taking no frame, running no code and giving nothing back.
#pragma once

#include "script/core/ast.h"
#include "script/core/binary_op.h"
#include "script/core/inline_number.h"

#include <cstddef>
#include <cstdint>

namespace quillet::script {

// The body of `proc` (its names resolved, its tree still there) as operators
// on registers when it is a global Function that only assigns its own
// name an expression made of its parameters, number literals and
// constants, parentheses and + - * / \ Mod; not valid otherwise.
ExpressionBody expressionBody(const Procedure& proc);

// The registers of one call: the arguments are set first, as numbers;
// nothing is initialised before.
class ExpressionRegisters {
public:
    // False when `v` is no Integer, Long or Double.
    [[gnu::always_inline]] bool setArgument(size_t i, const Value& v)
    {
        type_[i] = v.type();
        if (isIntegerOrLong(v)) {
            whole_[i] = v.rawLong();
            return true;
        }
        real_[i] = v.rawDouble();
        anyDouble_ = true;
        return type_[i] == Type::Double;
    }
    [[gnu::always_inline]] void setArgument(size_t i, const InlineNumber& n)
    {
        type_[i] = n.type;
        whole_[i] = n.whole;
        real_[i] = n.real;
        anyDouble_ |= n.type == Type::Double;
    }

    // Works out `body` for the arguments set, as running the body would:
    // the register then holding its value (value()).  -1 when a step is
    // one applyInline leaves to the general rules (division by zero,
    // overflow past a Double, a Mod of Doubles): running the body then
    // raises the error or gives the value.
    [[gnu::always_inline]] int evaluate(const ExpressionBody& body)
    {
        setNumbers(body);
        if (body.whole && !anyDouble_ && evaluateWhole(body))
            return body.result;
        return evaluateInline(body) ? body.result : -1;
    }

    Value value(int r) const
    {
        const auto i = static_cast<size_t>(r);
        if (type_[i] == Type::Integer)
            return Value::integer(static_cast<int16_t>(whole_[i]));
        return type_[i] == Type::Long ? Value::longInt(static_cast<int32_t>(whole_[i])) : Value::dbl(real_[i]);
    }

private:
    [[gnu::always_inline]] void setNumbers(const ExpressionBody& body)
    {
        size_t r = ExpressionBody::kFirstNumber;
        for (const InlineNumber& n : body.numbers)
            setArgument(r++, n);
    }

    // In Integers and Longs, as applyInline takes them step by step, while
    // every value stays in the Long range; false at the first step that
    // leaves it, or that divides by 0 or -1 (those go the general way).
    [[gnu::always_inline]] bool evaluateWhole(const ExpressionBody& body)
    {
        for (const ExpressionOp& o : body.ops) {
            const int64_t x = whole_[o.left], y = whole_[o.right];
            // Addition first: the most common.
            int64_t v;
            if (o.op == Op::Add) {
                v = x + y;
            } else if (o.op == Op::Sub) {
                v = x - y;
            } else if (o.op == Op::Mul) {
                v = x * y;
            } else {
                if (y == 0 || y == -1)
                    return false;
                v = o.op == Op::Mod ? x % y : x / y;
            }
            if (v < INT32_MIN || v > INT32_MAX)
                return false;
            const bool integer = type_[o.left] == Type::Integer && type_[o.right] == Type::Integer &&
                                 v >= INT16_MIN && v <= INT16_MAX;
            type_[o.target] = integer ? Type::Integer : Type::Long;
            whole_[o.target] = v;
        }
        return true;
    }

    // Each step by applyInline; apart, as Doubles are the rarer case.
    [[gnu::noinline]] bool evaluateInline(const ExpressionBody& body)
    {
        auto number = [this](size_t r) {
            InlineNumber n;
            n.type = type_[r];
            n.whole = whole_[r];
            n.real = real_[r];
            return n;
        };
        // The temporary registers as they are made, apart from the ones a
        // whole-number try may have left.
        InlineNumber temps[ExpressionBody::kTemps];
        auto isTemp = [](uint8_t r) {
            return r >= ExpressionBody::kFirstTemp && r < ExpressionBody::kFirstNumber;
        };
        auto at = [&](uint8_t r) { return isTemp(r) ? temps[r - ExpressionBody::kFirstTemp] : number(r); };
        for (const ExpressionOp& o : body.ops) {
            InlineNumber l = at(o.left);
            if (!applyInline(o.op, l, at(o.right)))
                return false;
            temps[o.target - ExpressionBody::kFirstTemp] = l;
        }
        if (isTemp(body.result))
            setArgument(body.result, temps[body.result - ExpressionBody::kFirstTemp]);
        return true;
    }

    Type type_[ExpressionBody::kRegisters];
    int64_t whole_[ExpressionBody::kRegisters]; // Integer, Long
    double real_[ExpressionBody::kRegisters];   // Double
    bool anyDouble_ = false;
};

} // namespace quillet::script
