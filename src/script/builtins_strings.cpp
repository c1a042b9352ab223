// String functions: Asc/AscW/Chr/ChrW, InStr/InStrRev, LCase/UCase,
// Left/Right/Mid/Len, the trims, Replace, Space, String, StrComp,
// StrReverse.  Null propagates where VBScript lets it (Len(Null) is Null)
// and is error 94 where VBScript raises it.
#include "script/builtins_support.h"
#include "script/stop_poll.h"
#include "script/lib/escape_text.h"

namespace quillet::script {

namespace {

// Asc and Chr work in the Windows-1252 code page; a character outside it
// reads as "?", as a conversion to the code page writes it.
int ansiCode(char16_t c)
{
    const int byte = windows1252Byte(c);
    return byte < 0 ? '?' : byte;
}

char16_t fromAnsiCode(int code)
{
    return windows1252Char(static_cast<unsigned char>(code));
}

// A text with each unit converted, polling the stop request as it goes.
Text convertedUnits(Text text, char16_t (*convert)(char16_t))
{
    inStretches(text.size(), [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            text[i] = convert(text[i]);
    });
    return text;
}

// `count` times `unit` (String, Space), polling the stop request as it grows.
Value repeatedUnit(size_t count, char16_t unit)
{
    if (count > kMaxTextLength)
        throw VbError(vberr::OutOfMemory);
    Text text;
    text.reserve(count);
    inStretches(count, [&](size_t from, size_t to) { text.append(to - from, unit); });
    return Value::string(std::move(text));
}

Value fnAsc(Context&, std::span<Value> a)
{
    const TextArg s(a[0]);
    if (s->empty())
        throw VbError(vberr::InvalidCall);
    return Value::integer(static_cast<int16_t>(ansiCode((*s)[0])));
}

Value fnAscW(Context&, std::span<Value> a)
{
    const TextArg s(a[0]);
    if (s->empty())
        throw VbError(vberr::InvalidCall);
    return Value::integer(static_cast<int16_t>((*s)[0]));
}

Value fnChr(Context&, std::span<Value> a)
{
    const int32_t code = a[0].toInt32();
    if (code < 0 || code > 255)
        throw VbError(vberr::InvalidCall);
    return Value::string(Text(1, fromAnsiCode(code)));
}

Value fnChrW(Context&, std::span<Value> a)
{
    const int32_t code = a[0].toInt32();
    if (code < -32768 || code > 65535)
        throw VbError(vberr::InvalidCall);
    return Value::string(Text(1, static_cast<char16_t>(code & 0xFFFF)));
}

Value fnInStr(Context&, std::span<Value> a)
{
    const InStrArgs args = inStrArgs(a);
    if (args.text.isNull() || args.find.isNull())
        return Value::null();
    return Value::longInt(
        static_cast<int32_t>(findText(*TextArg(args.text), *TextArg(args.find), args.start, args.mode)));
}

Value fnInStrRev(Context&, std::span<Value> a)
{
    const int32_t startValue = intArg(a, 2, -1);
    if (startValue == 0 || startValue < -1)
        throw VbError(vberr::InvalidCall);
    const CompareMode mode = compareArg(a, 3);
    // Unlike InStr, InStrRev does not pass Null through: error 94.
    const TextArg text(a[0]);
    const TextArg find(a[1]);
    const size_t start = startValue == -1 ? text->size() : static_cast<size_t>(startValue);
    if (text->empty())
        return Value::longInt(0);
    return Value::longInt(static_cast<int32_t>(findTextReverse(*text, *find, start, mode)));
}

Value fnLCase(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(convertedUnits(a[0].toText(), lowerChar));
}

Value fnUCase(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(convertedUnits(a[0].toText(), upperChar));
}

Value fnLeft(Context&, std::span<Value> a)
{
    const size_t n = countArg(a[1]);
    if (a[0].isNull())
        return Value::null();
    const TextArg s(a[0]);
    return Value::string(s->substr(0, n));
}

Value fnRight(Context&, std::span<Value> a)
{
    const size_t n = countArg(a[1]);
    if (a[0].isNull())
        return Value::null();
    const TextArg s(a[0]);
    return Value::string(n >= s->size() ? *s : s->substr(s->size() - n));
}

Value fnMid(Context&, std::span<Value> a)
{
    // A Null length is error 94 before the start is even looked at.
    if (a.size() > 2 && a[2].isNull())
        throw VbError(vberr::InvalidUseOfNull);
    const size_t start = startArg(a[1]);
    const bool hasLength = hasArg(a, 2);
    const size_t length = hasLength ? countArg(a[2]) : 0;
    if (a[0].isNull())
        return Value::null();
    const TextArg s(a[0]);
    if (start > s->size())
        return Value::string(Text());
    return Value::string(hasLength ? s->substr(start - 1, length) : s->substr(start - 1));
}

Value fnLen(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        return Value::null();
    return Value::longInt(static_cast<int32_t>(TextArg(a[0])->size()));
}

Value fnLTrim(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(trimLeftSpaces(*TextArg(a[0])));
}

Value fnRTrim(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(trimRightSpaces(*TextArg(a[0])));
}

Value fnTrim(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(trimSpaces(*TextArg(a[0])));
}

Value fnReplace(Context&, std::span<Value> a)
{
    // Replace(expression, find, replacewith[, start[, count[, compare]]])
    const size_t start = hasArg(a, 3) ? startArg(a[3]) : 1;
    const int32_t count = intArg(a, 4, -1);
    if (count < -1)
        throw VbError(vberr::InvalidCall);
    const CompareMode mode = compareArg(a, 5);
    const TextArg text(a[0]);
    const TextArg find(a[1]);
    const TextArg with(a[2]);
    std::optional<Text> replaced = replacedText(*text, *find, *with, start, count, mode, kMaxTextLength);
    if (replaced)
        return textResult(std::move(*replaced));
    // Nothing replaced in the whole text: a String comes back as it is,
    // shared rather than copied.
    return a[0].isString() ? a[0] : textResult(Text(*text));
}

Value fnSpace(Context&, std::span<Value> a)
{
    return repeatedUnit(countArg(a[0]), u' ');
}

Value fnString(Context&, std::span<Value> a)
{
    const size_t n = countArg(a[0]);
    if (a[1].isNull())
        return Value::null();
    char16_t c;
    const Value v = a[1].withoutObject();
    if (v.isString()) {
        if (v.rawText().empty())
            throw VbError(vberr::InvalidCall);
        c = v.rawText()[0];
    } else {
        // Codes above 255 are taken Mod 256; a negative code stays invalid.
        const int32_t code = v.toInt32() % 256;
        if (code < 0)
            throw VbError(vberr::InvalidCall);
        c = fromAnsiCode(code);
    }
    return repeatedUnit(n, c);
}

Value fnStrComp(Context&, std::span<Value> a)
{
    const CompareMode mode = compareArg(a, 2);
    if (a[0].isNull() || a[1].isNull())
        return Value::null();
    return Value::integer(static_cast<int16_t>(compareText(*TextArg(a[0]), *TextArg(a[1]), mode)));
}

Value fnStrReverse(Context&, std::span<Value> a)
{
    return Value::string(reverseText(a[0].toText()));
}

Value fnEscape(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : textResult(escapeText(*TextArg(a[0]), kMaxTextLength));
}

Value fnUnescape(Context&, std::span<Value> a)
{
    return a[0].isNull() ? Value::null() : Value::string(unescapeText(a[0].toText()));
}

constexpr BuiltinEntry kStrings[] = {
    {u"Asc", 1, 1, fnAsc},       {u"AscW", 1, 1, fnAscW},        {u"Chr", 1, 1, fnChr},
    {u"ChrW", 1, 1, fnChrW},     {u"InStr", 2, 4, fnInStr},      {u"InStrRev", 2, 4, fnInStrRev},
    {u"LCase", 1, 1, fnLCase},   {u"UCase", 1, 1, fnUCase},      {u"Left", 2, 2, fnLeft},
    {u"Right", 2, 2, fnRight},   {u"Mid", 2, 3, fnMid},          {u"Len", 1, 1, fnLen},
    {u"LTrim", 1, 1, fnLTrim},   {u"RTrim", 1, 1, fnRTrim},      {u"Trim", 1, 1, fnTrim},
    {u"Replace", 3, 6, fnReplace}, {u"Space", 1, 1, fnSpace},    {u"String", 2, 2, fnString},
    {u"StrComp", 2, 3, fnStrComp}, {u"StrReverse", 1, 1, fnStrReverse}, {u"Escape", 1, 1, fnEscape},
    {u"Unescape", 1, 1, fnUnescape},
};

} // namespace

void registerStringBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kStrings);
}

} // namespace quillet::script
