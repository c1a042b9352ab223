// VBScript's string searching and splitting (InStr, InStrRev, Replace,
// Split, Filter, StrComp) on plain Text, with its two compare modes.
// Positions are 1-based as VBScript reports them; 0 means "not found".
#pragma once

#include "common/text.h"

#include <functional>

namespace quillet::script {

enum class CompareMode { Binary = 0, Text = 1 };

// Compare mode from a script's compare argument: 0 binary, 1 text,
// anything else (other than -1 "use the default") is error 5.
CompareMode compareModeFrom(int value);

// InStr: first match of `find` in `text` at or after `start` (1-based).
// An empty `find` is found at `start`; a start past the end finds nothing.
size_t findText(TextView text, TextView find, size_t start, CompareMode mode);
// InStrRev: last match that ends at or before `start` (1-based, or
// text.size() + 1 for "from the end" semantics handled by the caller).
size_t findTextReverse(TextView text, TextView find, size_t start, CompareMode mode);

// Replace: the text from `start` on with up to `count` matches replaced
// (count < 0: all).  The part before `start` is dropped, as VBScript does.
// A result longer than `maxLength` is error 7 (Out of memory), raised
// before it is built.
Text replaceText(TextView text, TextView find, TextView replacement, size_t start, long long count,
                 CompareMode mode, size_t maxLength = TextView::npos);

// Split: pieces between delimiters, at most `limit` of them (limit < 0: no
// limit; the last piece keeps the rest).  An empty text gives no pieces; an
// empty delimiter gives the whole text as one piece.  Each piece is handed
// to `piece` as it is found, so that the caller can store them where it
// wants without a list of copies.
void splitEach(TextView text, TextView delimiter, long long limit, CompareMode mode,
               const std::function<void(TextView)>& piece);

// StrComp: -1, 0 or 1.
int compareText(TextView a, TextView b, CompareMode mode);

// Filter: whether it keeps `item`, one that contains (or, with include
// false, does not contain) `find`.
bool filterKeeps(TextView item, TextView find, bool include, CompareMode mode);

Text reverseText(TextView text);

} // namespace quillet::script
