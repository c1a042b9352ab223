// Conversion functions: CBool ... CStr, Hex, Oct, and the rounding family
// (Fix, Int, Abs, Sgn, Round), which keep the argument's subtype where
// VBScript keeps it.
#include "script/builtins_support.h"

#include <cmath>
#include <limits>

namespace quillet::script {

namespace {

Value fnCBool(Context&, std::span<Value> a) { return Value::boolean(a[0].toBool()); }
Value fnCByte(Context&, std::span<Value> a) { return Value::byte(a[0].toByte()); }
Value fnCCur(Context&, std::span<Value> a) { return Value::currency(a[0].toCurrency()); }
Value fnCDate(Context&, std::span<Value> a) { return Value::date(a[0].toDateSerial()); }
Value fnCDbl(Context&, std::span<Value> a) { return Value::dbl(a[0].toDouble()); }
Value fnCInt(Context&, std::span<Value> a) { return Value::integer(a[0].toInt16()); }
Value fnCLng(Context&, std::span<Value> a) { return Value::longInt(a[0].toInt32()); }
Value fnCSng(Context&, std::span<Value> a) { return Value::single(a[0].toSingle()); }
Value fnCStr(Context&, std::span<Value> a) { return Value::string(a[0].toText()); }

// Hex and Oct show 16-bit values (Integer, Boolean, Byte) in 16 bits and
// everything else as a 32-bit Long.
Value radixText(const Value& in, int bitsPerDigit)
{
    const Value v = in.withoutObject();
    if (v.isNull())
        return Value::null();
    uint32_t bits;
    switch (v.type()) {
    case Type::Empty: bits = 0; break;
    case Type::Integer: case Type::Boolean: bits = static_cast<uint16_t>(v.toInt16()); break;
    case Type::Byte: bits = v.rawByte(); break;
    default: bits = static_cast<uint32_t>(v.toInt32()); break;
    }
    const char* digits = "0123456789ABCDEF";
    const uint32_t mask = (1u << bitsPerDigit) - 1;
    Text out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(digits[bits & mask]));
        bits >>= bitsPerDigit;
    } while (bits != 0);
    return Value::string(std::move(out));
}

Value fnHex(Context&, std::span<Value> a) { return radixText(a[0], 4); }
Value fnOct(Context&, std::span<Value> a) { return radixText(a[0], 3); }

// Applies a whole-number operation keeping the subtype: whole-number
// subtypes are already whole, Single/Double/Currency/Date stay as they are,
// Boolean becomes Integer, text becomes Double.
template <typename Op>
Value wholeNumber(const Value& in, Op op)
{
    const Value v = in.withoutObject();
    switch (v.type()) {
    case Type::Null: return Value::null();
    case Type::Empty: return Value::integer(0);
    case Type::Integer: case Type::Long: case Type::Byte: return v;
    case Type::Boolean: return Value::integer(v.toInt16());
    case Type::Single: return Value::single(static_cast<float>(op(static_cast<double>(v.rawSingle()))));
    case Type::Currency: {
        const double whole = op(v.rawCurrency().toDouble());
        return Value::currency(Currency::fromDouble(whole));
    }
    case Type::Date: return Value::date(op(v.rawDate()));
    default: return Value::dbl(op(v.toDouble()));
    }
}

Value fnFix(Context&, std::span<Value> a) { return wholeNumber(a[0], [](double d) { return std::trunc(d); }); }
Value fnInt(Context&, std::span<Value> a) { return wholeNumber(a[0], [](double d) { return std::floor(d); }); }

Value fnAbs(Context&, std::span<Value> a)
{
    const Value v = a[0].withoutObject();
    switch (v.type()) {
    case Type::Null: return Value::null();
    case Type::Empty: return Value::integer(0);
    case Type::Integer: case Type::Boolean: {
        const int32_t i = std::abs(static_cast<int32_t>(v.toInt16()));
        return i > 32767 ? Value::longInt(i) : Value::integer(static_cast<int16_t>(i));
    }
    case Type::Long: {
        if (v.rawLong() == std::numeric_limits<int32_t>::min())
            return Value::dbl(2147483648.0);
        return Value::longInt(std::abs(v.rawLong()));
    }
    case Type::Byte: return v;
    case Type::Single: return Value::single(std::fabs(v.rawSingle()));
    case Type::Currency: {
        const int64_t t = v.rawCurrency().ticks();
        if (t == std::numeric_limits<int64_t>::min())
            throw VbError(vberr::Overflow);
        return Value::currency(Currency::fromTicks(t < 0 ? -t : t));
    }
    default: return Value::dbl(std::fabs(v.toDouble()));
    }
}

Value fnSgn(Context&, std::span<Value> a)
{
    const double d = a[0].toDouble();
    return Value::integer(d > 0 ? 1 : d < 0 ? -1 : 0);
}

// Round to `digits` places, halves to the even neighbour.  Scaling by a
// power of ten is done in long double so that 2.5, 0.125 and their like
// stay exact halves.
double roundTo(double value, int digits)
{
    if (digits == 0)
        return roundHalfEven(value);
    const long double scale = std::pow(10.0L, digits);
    const long double scaled = static_cast<long double>(value) * scale;
    if (!std::isfinite(static_cast<double>(scaled)) || std::fabs(scaled) > 1e18L)
        return value; // already more precise than a double can show
    const long double floor = std::floor(scaled);
    const long double diff = scaled - floor;
    long double r;
    if (diff < 0.5L)
        r = floor;
    else if (diff > 0.5L)
        r = floor + 1;
    else
        r = std::fmod(floor, 2.0L) == 0 ? floor : floor + 1;
    return static_cast<double>(r / scale);
}

Value fnRound(Context&, std::span<Value> a)
{
    const int digits = intArg(a, 1, 0);
    if (digits < 0)
        throw VbError(vberr::InvalidCall);
    const Value v = a[0].withoutObject();
    switch (v.type()) {
    case Type::Null: return Value::null();
    case Type::Empty: return Value::integer(0);
    // Round keeps a Boolean a Boolean (Fix and Int make it an Integer).
    case Type::Integer: case Type::Long: case Type::Byte: case Type::Boolean: return v;
    case Type::Single: return Value::single(static_cast<float>(roundTo(v.rawSingle(), digits)));
    case Type::Currency: return Value::currency(Currency::fromDouble(roundTo(v.rawCurrency().toDouble(), digits)));
    case Type::Date: return Value::date(roundTo(v.rawDate(), digits));
    default: return Value::dbl(roundTo(v.toDouble(), digits));
    }
}

constexpr auto kConversion = BuiltinUse::Conversion;

constexpr BuiltinEntry kConversions[] = {
    {u"CBool", 1, 1, fnCBool}, {u"CByte", 1, 1, fnCByte, kConversion}, {u"CCur", 1, 1, fnCCur, kConversion},
    {u"CDate", 1, 1, fnCDate, kConversion}, {u"CDbl", 1, 1, fnCDbl, kConversion},
    {u"CInt", 1, 1, fnCInt, kConversion}, {u"CLng", 1, 1, fnCLng, kConversion},
    {u"CSng", 1, 1, fnCSng, kConversion}, {u"CStr", 1, 1, fnCStr},
    {u"Hex", 1, 1, fnHex},     {u"Oct", 1, 1, fnOct},     {u"Fix", 1, 1, fnFix},
    {u"Int", 1, 1, fnInt},     {u"Abs", 1, 1, fnAbs},     {u"Sgn", 1, 1, fnSgn},
    {u"Round", 1, 2, fnRound},
};

} // namespace

void registerConversionBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kConversions);
}

} // namespace quillet::script
