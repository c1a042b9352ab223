// The header and footer text: "left|centre|right", each part possibly on
// several lines, with %d standing for the page number.
#pragma once

#include "common/text.h"

#include <array>
#include <vector>

namespace quillet::surface {

// Lines of the left, centre and right parts.  The whole text (not each
// line) is split at "|"; text after a third "|" is dropped; a text without
// "|" is all left part.  CR LF, CR or LF start a new line.  Every %d becomes
// `pageNumber`; any other % stays.  An empty part has no lines.
std::array<std::vector<Text>, 3> splitHeaderText(TextView text, int pageNumber);

// CR LF, CR and LF each end a line; the text after the last break is the
// last line (possibly empty).  Shared by headers and text measurement.
std::vector<Text> splitHardLines(TextView text);

} // namespace quillet::surface
