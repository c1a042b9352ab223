// Reads the subset of RTF that sheet text uses into styled paragraphs:
// character formatting (\b \i \ul \ulnone \strike \plain \fs \f \cf), the
// font and colour tables, paragraph breaks and alignment (\par \pard \ql
// \qc \qr \qj), \line and \tab, escaped characters (\'hh \uN \\ \{ \}).
// Unknown control words are ignored and unknown destinations skipped;
// unbalanced braces are tolerated, never an error.
#pragma once

#include "surface/styled_text.h"

#include <vector>

namespace quillet::surface {

// Formatting starts from `baseFont` and `baseColour` (the surface's current
// font and text colour); \plain and the automatic colour return to them.
// A \par at the very end does not add an empty paragraph.
std::vector<StyledParagraph> readRtf(TextView rtf, const FontStyle& baseFont, Rgb baseColour);

} // namespace quillet::surface
