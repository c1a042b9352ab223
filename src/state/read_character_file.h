// Loading a character file as the character in use: the reader's work
// around the file format (character/file_io.h) - the busy pointer, a
// fresh character, the current file and the main window's caption.
#pragma once

#include "character/reader_ui.h"
#include "common/text.h"

namespace quillet {

class AppState;
class VbError;

// Replaces the current character by the one in the file.  A file from a
// version before 2 is refused with a message (no error); every other
// failure - a file that cannot be opened, an empty file, a malformed line,
// a number too large for its property - ends the read with a VbError, and
// what was read before it stays in the character.  Returns false when the
// file was refused, true when it was read.
// The failure's entry names the lines it stopped on (CharacterFileError;
// an empty file stops at line 1).
bool ReadCharacterFile(AppState& state, ReaderUi& ui, const Text& path);

// What the user is told when reading `path` failed: the file, the error,
// and the line where reading stopped when it got that far.
Text ReadFailureMessage(const Text& path, const VbError& error);

} // namespace quillet
