// The bracket-aware splitter (module modPARSER) and the closing-parenthesis
// finder.  The split result is kept in shared state, read back with
// SplitPart, SplitPartCount and SplitSeparator, and replaced by the next
// SplitText: the splitter is not re-entrant, callers take the parts they
// need before splitting again.
#pragma once

#include "common/text.h"

#include <cstdint>
#include <functional>

namespace quillet {

// Option bits of SplitText.
inline constexpr int32_t SplitBrackets = 1; // separators inside parentheses do not split
inline constexpr int32_t SplitQuotes = 2;   // separators inside double quotes do not split

// The operations below take texts of at most this many characters; a
// longer text is error 6 "Overflow".
inline constexpr size_t kMaxParserText = 32767;

// Position (1-based) of the ")" that closes a "(" the caller has already
// passed; 0 when the text never closes it.  Quotes are not special here.
int16_t FindCloseParen(TextView text);

int16_t CountSeparators(TextView text, TextView seps, int32_t options);
void SplitText(TextView text, TextView seps, int32_t options);
int16_t SplitPartCount();
// Part at a 1-based position; empty beyond the end (and at 0).
Text SplitPart(int16_t position);
// Separator that ended part `position`; empty beyond the end.
Text SplitSeparator(int16_t position);

// The parts SplitText would make of `text`, handed to `onPart` in order as
// views of `text`, without the shared state (which stays as it was) and
// without a copy of each part.  Errors as SplitText's, before any part.
void VisitSplitParts(TextView text, TextView seps, int32_t options, const std::function<void(TextView)>& onPart);

} // namespace quillet
