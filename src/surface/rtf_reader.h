// Reads the subset of RTF that sheet text uses into styled paragraphs:
// character formatting (\b \i \ul \ulnone \strike \plain \fs \f \cf), the
// font and colour tables, paragraph breaks and alignment (\par \pard \ql
// \qc \qr \qj), \line and \tab, escaped characters (\'hh \uN \\ \{ \}).
// Unknown control words are ignored and unknown destinations skipped;
// unbalanced braces are tolerated.  Groups nested more than
// kMaxRtfGroupDepth deep are error 28 "Out of stack space".
#pragma once

#include "surface/styled_text.h"

#include <cstddef>
#include <vector>

namespace quillet::surface {

// Real rich text nests a few levels deep; this leaves room for any of it.
inline constexpr size_t kMaxRtfGroupDepth = 1000;

// Formatting starts from `baseFont` and `baseColour` (the surface's current
// font and text colour); \plain and the automatic colour return to them.
// A \par at the very end does not add an empty paragraph.
std::vector<StyledParagraph> readRtf(TextView rtf, const FontStyle& baseFont, Rgb baseColour);

} // namespace quillet::surface
