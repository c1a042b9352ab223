#include "script/core/operators.h"

#include "script/host_object.h"

#include <cmath>
#include <limits>

namespace quillet::script {
namespace {

// Ranks of the numeric result types, narrowest first.
enum Rank : int { RByte, RInteger, RLong, RSingle, RDouble, RCurrency, RDate };

Rank rankOf(const Value& v)
{
    switch (v.type()) {
    case Type::Byte: return RByte;
    case Type::Integer: case Type::Boolean: case Type::Empty: return RInteger;
    case Type::Long: return RLong;
    case Type::Single: return RSingle;
    case Type::Currency: return RCurrency;
    case Type::Date: return RDate;
    default: return RDouble;
    }
}

bool isWhole(Rank r) { return r <= RLong; }

Value wholeResult(int64_t r, Rank rank)
{
    if (rank == RByte && r >= 0 && r <= 255)
        return Value::byte(static_cast<uint8_t>(r));
    if (rank <= RInteger && r >= INT16_MIN && r <= INT16_MAX)
        return Value::integer(static_cast<int16_t>(r));
    if (r >= INT32_MIN && r <= INT32_MAX)
        return Value::longInt(static_cast<int32_t>(r));
    return Value::dbl(static_cast<double>(r));
}

int64_t wholeOf(const Value& v)
{
    if (v.type() == Type::Empty)
        return 0;
    return v.rawLong(); // Byte, Integer, Boolean, Long share the 32-bit field
}

double checked(double d)
{
    if (std::isinf(d) || std::isnan(d))
        throw VbError(vberr::Overflow);
    return d;
}

Value floatResult(double d, Rank rank)
{
    checked(d);
    if (rank == RSingle) {
        if (std::fabs(d) > std::numeric_limits<float>::max())
            throw VbError(vberr::Overflow);
        return Value::single(static_cast<float>(d));
    }
    return Value::dbl(d);
}

Rank resultRank(Rank a, Rank b)
{
    if (a == RByte && b == RByte)
        return RByte;
    if ((a == RSingle && b == RLong) || (a == RLong && b == RSingle))
        return RDouble;
    return a > b ? a : b;
}

Value arithmetic(Op op, const Value& a, const Value& b)
{
    const Rank ra = rankOf(a), rb = rankOf(b);
    Rank rank = resultRank(ra, rb);
    if (isWhole(rank)) {
        const int64_t x = wholeOf(a), y = wholeOf(b);
        int64_t r = 0;
        switch (op) {
        case Op::Add: r = x + y; break;
        case Op::Sub: r = x - y; break;
        default: r = x * y; break;
        }
        return wholeResult(r, rank);
    }
    if (rank == RDate) {
        const double r = op == Op::Add ? a.toDouble() + b.toDouble()
                         : op == Op::Sub ? a.toDouble() - b.toDouble()
                                         : a.toDouble() * b.toDouble();
        if (op == Op::Sub && ra == RDate && rb == RDate)
            return Value::dbl(checked(r));
        if (op == Op::Mul)
            return Value::dbl(checked(r));
        return Value::date(checked(r));
    }
    if (rank == RCurrency) {
        if (op == Op::Mul)
            return Value::currency(Currency::fromDouble(a.toCurrency().toDouble() * b.toCurrency().toDouble()));
        const Currency x = a.toCurrency(), y = b.toCurrency();
        int64_t r;
        const bool overflow = op == Op::Add ? __builtin_add_overflow(x.ticks(), y.ticks(), &r)
                                            : __builtin_sub_overflow(x.ticks(), y.ticks(), &r);
        if (overflow)
            throw VbError(vberr::Overflow);
        return Value::currency(Currency::fromTicks(r));
    }
    const double x = a.toDouble(), y = b.toDouble();
    const double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    return floatResult(r, rank);
}

Value divide(const Value& a, const Value& b)
{
    const double y = b.toDouble();
    const double x = a.toDouble();
    if (y == 0.0)
        throw VbError(x == 0.0 ? vberr::Overflow : vberr::DivisionByZero);
    // A Double, Currency included; a Single only with Single, Integer or Byte.
    const Rank ra = rankOf(a), rb = rankOf(b);
    if ((ra == RSingle && rb <= RSingle && rb != RLong) || (rb == RSingle && ra <= RSingle && ra != RLong))
        return floatResult(x / y, RSingle);
    return Value::dbl(checked(x / y));
}

// Operands of \ and Mod: rounded to whole numbers; Integer when both fit
// the narrow types, Long otherwise.
Rank integerRank(const Value& a, const Value& b)
{
    auto narrow = [](const Value& v) {
        return v.type() == Type::Byte || v.type() == Type::Integer || v.type() == Type::Boolean ||
               v.type() == Type::Empty;
    };
    if (a.type() == Type::Byte && b.type() == Type::Byte)
        return RByte;
    return narrow(a) && narrow(b) ? RInteger : RLong;
}

Value intDivide(Op op, const Value& a, const Value& b)
{
    const Rank rank = integerRank(a, b);
    const int64_t x = a.toInt32(), y = b.toInt32();
    if (y == 0)
        throw VbError(vberr::DivisionByZero);
    const int64_t r = op == Op::IntDiv ? x / y : x % y;
    return wholeResult(r, rank);
}

Value power(const Value& a, const Value& b)
{
    const double x = a.toDouble(), y = b.toDouble();
    if (x == 0.0 && y < 0.0)
        throw VbError(vberr::InvalidCall);
    const double r = std::pow(x, y);
    if (std::isnan(r))
        throw VbError(vberr::InvalidCall);
    return Value::dbl(checked(r));
}

// Operand of a logical operator: Boolean stays Boolean, everything else a
// whole number.  Strings may read as numbers or as True/False.
Value logicalOperand(const Value& v)
{
    switch (v.type()) {
    case Type::Boolean: case Type::Null: case Type::Byte: case Type::Integer: case Type::Long:
        return v;
    case Type::Empty: return Value::integer(0);
    case Type::String:
        if (auto n = parseNumericText(v.rawText()))
            return Value::longInt(quillet::toInt32(*n));
        return Value::boolean(v.toBool());
    default:
        return Value::longInt(v.toInt32());
    }
}

Value logical(Op op, const Value& a0, const Value& b0)
{
    const Value a = logicalOperand(a0), b = logicalOperand(b0);
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn) {
        // Null propagates unless the other side decides the result.
        const Value& other = an ? b : a;
        if (an && bn)
            return Value::null();
        const int64_t o = other.type() == Type::Boolean ? (other.rawBoolean() ? -1 : 0) : other.rawLong();
        switch (op) {
        case Op::And:
            if (o == 0)
                return other.type() == Type::Boolean ? Value::boolean(false) : wholeResult(0, rankOf(other));
            return Value::null();
        case Op::Or:
            if (o == -1)
                return other;
            return Value::null();
        case Op::Imp:
            if (an && o == -1)
                return other;
            if (bn && o == 0)
                return other.type() == Type::Boolean ? Value::boolean(true) : wholeResult(-1, rankOf(other));
            return Value::null();
        default:
            return Value::null();
        }
    }
    auto bits = [](const Value& v) -> int64_t {
        return v.type() == Type::Boolean ? (v.rawBoolean() ? -1 : 0) : v.rawLong();
    };
    const int64_t x = bits(a), y = bits(b);
    int64_t r = 0;
    switch (op) {
    case Op::And: r = x & y; break;
    case Op::Or: r = x | y; break;
    case Op::Xor: r = x ^ y; break;
    case Op::Eqv: r = ~(x ^ y); break;
    case Op::Imp: r = (~x) | y; break;
    default: break;
    }
    if (a.type() == Type::Boolean && b.type() == Type::Boolean)
        return Value::boolean(r != 0);
    if (a.type() == Type::Byte && b.type() == Type::Byte)
        return Value::byte(static_cast<uint8_t>(r & 0xFF));
    const bool narrow = a.type() != Type::Long && b.type() != Type::Long;
    if (narrow)
        return Value::integer(static_cast<int16_t>(r));
    return Value::longInt(static_cast<int32_t>(r));
}

Value concat(const Value& a, const Value& b)
{
    if (a.isNull() && b.isNull())
        return Value::null();
    if (a.isArray() || b.isArray())
        throw VbError(vberr::TypeMismatch);
    Text text = a.toConcatText();
    const Text tail = b.toConcatText();
    if (text.size() + tail.size() > kMaxTextLength)
        throw VbError(vberr::OutOfMemory);
    text += tail;
    return Value::string(std::move(text));
}

bool isNumericLike(const Value& v)
{
    return v.isNumber() || v.type() == Type::Boolean || v.type() == Type::Date;
}

// `d` rounded to a Single; beyond the Single range it stays as it is
// (a Single compares below it all the same).
double singlePrecision(double d)
{
    return std::fabs(d) <= std::numeric_limits<float>::max() ? static_cast<double>(static_cast<float>(d)) : d;
}

int compareNumbers(const Value& a, const Value& b)
{
    if (a.type() == Type::Currency && b.type() == Type::Currency)
        return a.rawCurrency() < b.rawCurrency() ? -1 : a.rawCurrency() == b.rawCurrency() ? 0 : 1;
    double x = a.toDouble(), y = b.toDouble();
    // A Single meets a Double at the Single's precision: CSng(0.1) = 0.1.
    if ((a.type() == Type::Single && b.type() == Type::Double) ||
        (a.type() == Type::Double && b.type() == Type::Single)) {
        x = singlePrecision(x);
        y = singlePrecision(y);
    }
    return x < y ? -1 : x > y ? 1 : 0;
}

int compareTexts(const Text& a, const Text& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace

Value binaryOp(Op op, const Value& left, const Value& right)
{
    const Value& l = left.deref();
    const Value& r = right.deref();
    if (op == Op::Concat) {
        if (l.isObject() || r.isObject())
            return concat(l.withoutObject(), r.withoutObject());
        return concat(l, r);
    }
    if (l.isArray() || r.isArray())
        throw VbError(vberr::TypeMismatch);
    if (l.isObject() || r.isObject())
        return binaryOp(op, l.withoutObject(), r.withoutObject());
    switch (op) {
    case Op::And: case Op::Or: case Op::Xor: case Op::Eqv: case Op::Imp:
        return logical(op, l, r);
    default: break;
    }
    if (l.isNull() || r.isNull())
        return Value::null();
    if (op == Op::Add) {
        if (l.isString() && (r.isString() || r.isEmpty()))
            return concat(l, r);
        if (r.isString() && l.isEmpty())
            return concat(l, r);
    }
    const Value a = l.toNumeric();
    const Value b = r.toNumeric();
    switch (op) {
    case Op::Add: case Op::Sub: case Op::Mul: return arithmetic(op, a, b);
    case Op::Div: return divide(a, b);
    case Op::IntDiv: case Op::Mod: return intDivide(op, a, b);
    case Op::Pow: return power(a, b);
    default: break;
    }
    throw VbError(vberr::TypeMismatch);
}

Value unaryOp(Op op, const Value& operand)
{
    const Value& v0 = operand.deref();
    // A plus sign changes nothing: text stays text, an object the object.
    if (op == Op::Plus)
        return v0;
    if (v0.isArray())
        throw VbError(vberr::TypeMismatch);
    const Value v = v0.isObject() ? v0.withoutObject() : v0;
    if (v.isNull())
        return v;
    if (op == Op::Not) {
        const Value x = logicalOperand(v);
        switch (x.type()) {
        case Type::Boolean: return Value::boolean(!x.rawBoolean());
        case Type::Byte: return Value::byte(static_cast<uint8_t>(~x.rawByte()));
        case Type::Integer: return Value::integer(static_cast<int16_t>(~x.rawInteger()));
        default: return Value::longInt(~x.rawLong());
        }
    }
    const Value n = v.toNumeric();
    switch (n.type()) {
    case Type::Byte: return Value::integer(static_cast<int16_t>(-n.rawByte()));
    case Type::Integer: case Type::Boolean: return wholeResult(-int64_t(n.rawLong()), RInteger);
    case Type::Long: return wholeResult(-int64_t(n.rawLong()), RLong);
    case Type::Single: return Value::single(-n.rawSingle());
    case Type::Currency:
        if (n.rawCurrency().ticks() == std::numeric_limits<int64_t>::min())
            throw VbError(vberr::Overflow);
        return Value::currency(Currency::fromTicks(-n.rawCurrency().ticks()));
    case Type::Date: return Value::date(-n.rawDate());
    default: return Value::dbl(-n.toDouble());
    }
}

std::optional<int> compareValues(const Value& left, const Value& right, bool leftLiteral, bool rightLiteral)
{
    const Value& l0 = left.deref();
    const Value& r0 = right.deref();
    if (l0.isObject() || r0.isObject())
        return compareValues(l0.withoutObject(), r0.withoutObject(), leftLiteral, rightLiteral);
    const Value& l = l0;
    const Value& r = r0;
    if (l.isNull() || r.isNull())
        return std::nullopt;
    if (l.isArray() || r.isArray() || l.type() == Type::Error || r.type() == Type::Error)
        throw VbError(vberr::TypeMismatch);
    if (l.isEmpty() && r.isEmpty())
        return 0;
    if (l.isString() && r.isString())
        return compareTexts(l.rawText(), r.rawText());
    if (l.isEmpty())
        return r.isString() ? compareTexts(Text(), r.rawText()) : compareNumbers(Value::integer(0), r);
    if (r.isEmpty())
        return l.isString() ? compareTexts(l.rawText(), Text()) : compareNumbers(l, Value::integer(0));
    if (isNumericLike(l) && isNumericLike(r))
        return compareNumbers(l, r);
    // One number, one string.
    const bool stringOnLeft = l.isString();
    const Value& str = stringOnLeft ? l : r;
    const Value& num = stringOnLeft ? r : l;
    const bool numLiteral = stringOnLeft ? rightLiteral : leftLiteral;
    const bool strLiteral = stringOnLeft ? leftLiteral : rightLiteral;
    int result;
    if (numLiteral) {
        if (auto parsed = parseNumericText(str.rawText()))
            result = compareNumbers(Value::dbl(*parsed), num);
        else
            result = 1;
    } else if (strLiteral) {
        result = compareTexts(str.rawText(), num.toText());
    } else {
        result = 1; // any string is greater than any number
    }
    return stringOnLeft ? result : -result;
}

Value comparisonOp(Op op, const Value& left, const Value& right, bool leftLiteral, bool rightLiteral)
{
    if (op == Op::Is)
        return Value::boolean(sameObject(left, right));
    const auto c = compareValues(left, right, leftLiteral, rightLiteral);
    if (!c)
        return Value::null();
    switch (op) {
    case Op::Eq: return Value::boolean(*c == 0);
    case Op::Ne: return Value::boolean(*c != 0);
    case Op::Lt: return Value::boolean(*c < 0);
    case Op::Gt: return Value::boolean(*c > 0);
    case Op::Le: return Value::boolean(*c <= 0);
    case Op::Ge: return Value::boolean(*c >= 0);
    default: break;
    }
    throw VbError(vberr::TypeMismatch);
}

bool sameObject(const Value& left, const Value& right)
{
    const Value& l = left.deref();
    const Value& r = right.deref();
    if (!l.isObject() || !r.isObject())
        throw VbError(vberr::ObjectRequired);
    return l.rawObject() == r.rawObject();
}

bool conditionTrue(const Value& value)
{
    const Value& v = value.deref();
    switch (v.type()) {
    case Type::Boolean: return v.rawBoolean();
    case Type::Null: case Type::Empty: return false;
    case Type::Object: {
        const Value d = v.withoutObject();
        return d.isNull() ? false : d.toBool();
    }
    default: return v.toBool();
    }
}

} // namespace quillet::script
