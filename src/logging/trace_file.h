// The two trace files in the program folder: debug.run, to which every log
// line is appended as it comes, and debug.log, the export of the logging
// window's list.  Both are UTF-8 with CR LF after every line.
#pragma once

#include "common/text.h"

#include <deque>
#include <string>

namespace quillet {

// Opens the file for appending (creating it when missing), writes the line
// and CR LF, and closes it again, so that the file is complete whenever
// the program stops.  False when the file cannot be opened or written.
bool appendTraceLine(const std::string& path, TextView line);

// Replaces the file by the lines, each followed by CR LF (no lines: an
// empty file).  False, leaving any earlier file intact, when it fails.
bool writeTraceLines(const std::string& path, const std::deque<Text>& lines);

} // namespace quillet
