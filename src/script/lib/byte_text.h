// Strings seen as bytes, for VBScript's byte functions (LenB, MidB, ChrB,
// AscB, InStrB, LeftB, RightB).  VBScript keeps a string as bytes, two per
// UTF-16 code unit (low byte first), and lets a string end in half a code
// unit: ChrB(65) is one byte long.  Our strings are whole code units, so a
// byte that does not fill a code unit is kept as a lone low surrogate,
// U+DC00 + the byte.  Text never holds a low surrogate without a high one
// before it, so that unit is free to mean "one byte"; a lone surrogate
// written with ChrW(&HDC00 + n) reads the same way, a collision only text
// that is already broken can have.
//
// What follows from the choice:
//   - ChrB(65) & ChrB(66) is two lone bytes, LenB 2, as in VBScript; the
//     byte functions read it as the bytes 41 42, and any of their results
//     (MidB(s, 1) for one) packs pairs of bytes back into code units, so
//     MidB(ChrB(65) & ChrB(0), 1) is "A".
//   - Len, Mid and the other character functions count a lone byte as one
//     character, where VBScript would count half a one.
//   - A lone byte placed right after a high surrogate by concatenation
//     (ChrW(&HD83D) & ChrB(0)) joins it as a surrogate pair.
#pragma once

#include "common/text.h"
#include "script/lib/text_search.h"

#include <string>
#include <string_view>

namespace quillet::script {

// The unit that stands for the single byte `byte`.
constexpr char16_t loneByteUnit(uint8_t byte)
{
    return static_cast<char16_t>(0xDC00 + byte);
}

// Bytes of a text as the byte functions see them, or the `count` of them
// that start at the 0-based byte offset `from` (fewer where the text ends
// first).  MidB(s, i, 1) in a loop reads only what it needs: a text without
// lone bytes before the slice maps bytes to code units directly.
std::string textBytes(TextView text, size_t from = 0, size_t count = std::string::npos);
// The number of those bytes, without building them.
size_t byteLength(TextView text);
// Bytes back into a text: pairs into code units, any byte that cannot
// stand in a code unit of its own (the last of an odd count, or a pair
// that would read back as a lone byte) as a lone byte, so that
// textBytes(bytesText(b)) == b for any bytes.
Text bytesText(std::string_view bytes);

// InStrB: the 1-based byte position of the first match of `find` in
// `bytes` at or after `start`, 0 when none; the same rules as InStr (an
// empty `find` is found at `start`, nothing is found in no bytes).  Text
// compare folds the ASCII letters of each byte.
size_t findBytes(std::string_view bytes, std::string_view find, size_t start, CompareMode mode);

} // namespace quillet::script
