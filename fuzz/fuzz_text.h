// Turning fuzzer bytes into the program's text, both the way files are
// read (UTF-8 when valid, else Windows-1252) and as raw UTF-16 code units,
// which reaches lone surrogates and characters no file decoder produces.
#pragma once

#include "common/text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace quillet::fuzz {

inline Text fileText(const std::string& bytes)
{
    return decodeFileText(bytes);
}

inline Text codeUnits(const std::string& bytes)
{
    Text out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

// A field of the input: a length-prefixed piece taken by the provider,
// decoded one way or the other by a bit of the input.
inline Text takeText(FuzzedDataProvider& in, size_t maxBytes)
{
    const bool raw = in.ConsumeBool();
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    return raw ? codeUnits(bytes) : fileText(bytes);
}

inline Text restText(FuzzedDataProvider& in)
{
    const bool raw = in.ConsumeBool();
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    return raw ? codeUnits(bytes) : fileText(bytes);
}

} // namespace quillet::fuzz
