// Reading a character file into a new current character (module modFileIO).
#pragma once

#include "character/reader_ui.h"
#include "common/text.h"

#include <string>
#include <vector>

namespace quillet {

class AppState;

// Replaces the current character by the one in the file.  A file from a
// version before 2 is refused with a message (no error); every other
// failure - a file that cannot be opened, an empty file, a malformed line,
// a number too large for its property - ends the read with a VbError, and
// what was read before it stays in the character.  Returns false when the
// file was refused, true when it was read.
bool ReadCharacterFile(AppState& state, ReaderUi& ui, const Text& path);

// Small operations of the reader, exposed for tests.
Text BlankTabsAndNuls(TextView text);
void ExpandParagraphMarks(Text& text, TextView paraMarker, TextView crlf);
// Splits a key-list line at commas outside parentheses; position 0 of the
// result is empty, 1..n hold the elements.
void SplitElements(TextView line, std::vector<Text>& elements);

// Largest file readFileBytes takes.
inline constexpr size_t kMaxTextFileBytes = size_t(64) << 20;

// The bytes of a file, opened read-only; VbError 53, 70 or 75 when it
// cannot be opened or read (anything but a regular file is error 75), 7
// when it is larger than kMaxTextFileBytes.
std::string readFileBytes(const Text& path);

} // namespace quillet
