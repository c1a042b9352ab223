// The byte functions: AscB, ChrB, InStrB, LenB, LeftB, MidB, RightB.  They
// count a string in bytes, two per code unit, and ChrB makes a string of a
// single byte; lib/byte_text.h says how such a byte is kept.  Null and bad
// arguments behave as in the character functions they mirror (LenB(Null)
// is Null, AscB(Null) error 94, LeftB(s, -1) error 5).
#include "script/builtins_support.h"
#include "script/lib/byte_text.h"

namespace quillet::script {

namespace {

Value fnAscB(Context&, std::span<Value> a)
{
    const TextArg s(a[0]);
    if (s->empty())
        throw VbError(vberr::InvalidCall);
    return Value::integer(static_cast<int16_t>(textBytes(*s, 0, 1).front() & 0xFF));
}

Value fnChrB(Context&, std::span<Value> a)
{
    const int32_t code = a[0].toInt32();
    if (code < 0 || code > 255)
        throw VbError(vberr::InvalidCall);
    return Value::string(Text(1, loneByteUnit(static_cast<uint8_t>(code))));
}

Value fnLenB(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        return Value::null();
    return Value::longInt(static_cast<int32_t>(byteLength(*TextArg(a[0]))));
}

Value fnLeftB(Context&, std::span<Value> a)
{
    const size_t n = countArg(a[1]);
    if (a[0].isNull())
        return Value::null();
    return Value::string(bytesText(textBytes(*TextArg(a[0]), 0, n)));
}

Value fnRightB(Context&, std::span<Value> a)
{
    const size_t n = countArg(a[1]);
    if (a[0].isNull())
        return Value::null();
    const TextArg s(a[0]);
    const size_t length = byteLength(*s);
    return Value::string(bytesText(textBytes(*s, n >= length ? 0 : length - n, n)));
}

Value fnMidB(Context&, std::span<Value> a)
{
    const size_t start = startArg(a[1]);
    const bool hasLength = hasArg(a, 2);
    const size_t length = hasLength ? countArg(a[2]) : std::string_view::npos;
    if (a[0].isNull())
        return Value::null();
    return Value::string(bytesText(textBytes(*TextArg(a[0]), start - 1, length)));
}

Value fnInStrB(Context&, std::span<Value> a)
{
    const InStrArgs args = inStrArgs(a);
    if (args.text.isNull() || args.find.isNull())
        return Value::null();
    const size_t at = findBytes(textBytes(*TextArg(args.text)), textBytes(*TextArg(args.find)), args.start, args.mode);
    return Value::longInt(static_cast<int32_t>(at));
}

constexpr BuiltinEntry kBytes[] = {
    {u"AscB", 1, 1, fnAscB},     {u"ChrB", 1, 1, fnChrB},     {u"InStrB", 2, 4, fnInStrB}, {u"LenB", 1, 1, fnLenB},
    {u"LeftB", 2, 2, fnLeftB},   {u"MidB", 2, 3, fnMidB},     {u"RightB", 2, 2, fnRightB},
};

} // namespace

void registerByteStringBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kBytes);
}

} // namespace quillet::script
