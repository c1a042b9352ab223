// Small helpers shared by the runtime library's builtin functions
// (builtins_*.cpp): reading optional arguments, Null propagation and the
// registration functions each file provides to registerRuntimeLibrary.
#pragma once

#include "script/builtins.h"
#include "script/lib/text_search.h"

#include <span>

namespace quillet::script {

// True when argument `i` was given (neither absent nor omitted).
inline bool hasArg(std::span<Value> args, size_t i)
{
    return i < args.size() && !args[i].isMissing();
}

// A whole-number argument (CLng rules), or `fallback` when not given.
inline int32_t intArg(std::span<Value> args, size_t i, int32_t fallback)
{
    return hasArg(args, i) ? args[i].toInt32() : fallback;
}

inline bool boolArg(std::span<Value> args, size_t i, bool fallback)
{
    return hasArg(args, i) ? args[i].toBool() : fallback;
}

// A compare-mode argument (vbBinaryCompare, vbTextCompare); error 5 for
// other values, 94 for Null.
inline CompareMode compareArg(std::span<Value> args, size_t i)
{
    return hasArg(args, i) ? compareModeFrom(args[i].toInt32()) : CompareMode::Binary;
}

// Length or count argument (Left, Mid, Space...): CLng rules, negative is
// error 5.
inline size_t countArg(const Value& v)
{
    const int32_t n = v.toInt32();
    if (n < 0)
        throw VbError(vberr::InvalidCall);
    return static_cast<size_t>(n);
}

// Start position argument (Mid, InStr...): 1-based, below 1 is error 5.
inline size_t startArg(const Value& v)
{
    const int32_t n = v.toInt32();
    if (n < 1)
        throw VbError(vberr::InvalidCall);
    return static_cast<size_t>(n);
}

// The arguments of InStr and InStrB, ([start,] string1, string2[,
// compare]): with three or more the first is the start.  The Values stay
// in the span.
struct InStrArgs {
    size_t start;
    const Value& text;
    const Value& find;
    CompareMode mode;
};

inline InStrArgs inStrArgs(std::span<Value> a)
{
    if (a.size() < 3)
        return {1, a[0], a[1], CompareMode::Binary};
    return {hasArg(a, 0) ? startArg(a[0]) : 1, a[1], a[2], compareArg(a, 3)};
}

// A text argument read in place when it already is a String (Mid(s, i, 1)
// in a loop must not copy s each time), converted with CStr rules
// otherwise.  The Value must outlive the TextArg.
class TextArg {
public:
    explicit TextArg(const Value& v)
    {
        if (v.isString()) {
            text_ = &v.rawText();
        } else {
            owned_ = v.toText();
            text_ = &owned_;
        }
    }
    TextArg(const TextArg&) = delete;
    TextArg& operator=(const TextArg&) = delete;

    const Text& operator*() const { return *text_; }
    const Text* operator->() const { return text_; }

private:
    const Text* text_;
    Text owned_;
};

// A text-valued result in a String Value, error 7 beyond the engine's limit.
Value textResult(Text text);

// Registration, one function per topic file.
void registerConversionBuiltins(BuiltinRegistry& registry);
void registerTypeInfoBuiltins(BuiltinRegistry& registry);
void registerStringBuiltins(BuiltinRegistry& registry);
void registerByteStringBuiltins(BuiltinRegistry& registry);
void registerFormatBuiltins(BuiltinRegistry& registry);
void registerMathBuiltins(BuiltinRegistry& registry);
void registerDateBuiltins(BuiltinRegistry& registry);
void registerArrayBuiltins(BuiltinRegistry& registry);
void registerInteractionBuiltins(BuiltinRegistry& registry);
void registerConstants(BuiltinRegistry& registry);
void registerObjects(BuiltinRegistry& registry);
void registerSandboxedBuiltins(BuiltinRegistry& registry);

} // namespace quillet::script
