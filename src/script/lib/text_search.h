// VBScript's string searching and splitting (InStr, InStrRev, Replace,
// Split, Filter, StrComp) on plain Text, with its two compare modes.
// Positions are 1-based as VBScript reports them; 0 means "not found".
//
// Every search takes time linear in the text and the pattern
// (two_way_search.h), and long ones poll the stop request as they go.
#pragma once

#include "common/text.h"
#include "script/lib/two_way_search.h"

#include <functional>
#include <optional>

namespace quillet::script {

enum class CompareMode { Binary = 0, Text = 1 };

// A pattern made ready to be searched for, forwards or from the end.
// `pattern` must outlive the finder.
class TextFinder {
public:
    static constexpr size_t npos = TextView::npos;

    TextFinder(TextView pattern, CompareMode mode, bool fromEnd = false);
    TextFinder(const TextFinder&) = delete;
    TextFinder& operator=(const TextFinder&) = delete;

    size_t size() const { return pattern_.size(); }
    // 0-based index of the first match at or after `from`, npos when none.
    // Only for a finder made without fromEnd.
    size_t find(TextView text, size_t from) const;
    // 0-based index of the last match that ends at or before `end`, npos
    // when none.  Only for a finder made with fromEnd.
    size_t findLast(TextView text, size_t end) const;

private:
    CompareMode mode_;
    // The pattern folded (Text mode) and reversed (from the end), when it
    // cannot be searched for as given.
    Text prepared_;
    TwoWayPattern<char16_t> pattern_;
};

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
// before it is built.  Nothing when the result is `text` itself, whole
// and unchanged (`start` is 1 and nothing is replaced): a caller holding
// the text keeps it instead of a copy.
std::optional<Text> replacedText(TextView text, TextView find, TextView replacement, size_t start,
                                 long long count, CompareMode mode, size_t maxLength = TextView::npos);

// Split: pieces between delimiters, at most `limit` of them (limit < 0: no
// limit; the last piece keeps the rest).  An empty text gives no pieces; an
// empty delimiter gives the whole text as one piece.  Each piece is handed
// to `piece` as it is found, so that the caller can store them where it
// wants without a list of copies.
void splitEach(TextView text, TextView delimiter, long long limit, CompareMode mode,
               const std::function<void(TextView)>& piece);

// StrComp: -1, 0 or 1.
int compareText(TextView a, TextView b, CompareMode mode);

Text reverseText(TextView text);

} // namespace quillet::script
