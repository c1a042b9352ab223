// A log line is one line: a text that a sheet script or a file name put
// into it must not start lines of its own (a forged "PrintReport:: ..."
// line) nor reach a terminal as control sequences.
#pragma once

#include "common/text.h"

namespace quillet {

// `text` with every control character shown as a visible name: CR, LF,
// NUL and ESC as <CR>, <LF>, <NUL> and <ESC>, the others (C0 and C1
// controls, DEL, the line and paragraph separators) as <U+hhhh>.  A tab
// stays a tab: it breaks no line.
Text logLineText(TextView text);

} // namespace quillet
