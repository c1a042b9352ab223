// Reading the lines of a character file into a character (module
// modFileIO).  What happens around a read - the busy pointer, replacing
// the current character, the caption - belongs to the program's state
// (state/read_character_file.h); this part knows only the file format.
#pragma once

#include "character/reader_ui.h"
#include "common/text.h"

#include <vector>

namespace quillet {

class KVRCharacter;

// What a read needs besides the file's text.
struct CharacterFileContext {
    Text path;       // the character file; portraits are looked for beside it
    Text paraMarker; // the paragraph mark in Description and Notes ...
    Text crlf;       // ... and the line end it becomes
};

// True when the file's first line marks a character of version 2 or later.
bool IsCharacterFileHeader(TextView firstLine);

// Reads every line of `content` into `character`.  A malformed line or a
// number too large for its property ends the read with a
// CharacterFileError naming the lines it stopped on; what was read before
// it stays in the character.
void ReadCharacterContent(KVRCharacter& character, TextView content, const CharacterFileContext& context,
                          ReaderUi& ui);

// Small operations of the reader, exposed for tests.
Text BlankTabsAndNuls(TextView text);
void ExpandParagraphMarks(Text& text, TextView paraMarker, TextView crlf);
// Splits a key-list line at commas outside parentheses; position 0 of the
// result is empty, 1..n hold the elements.
void SplitElements(TextView line, std::vector<Text>& elements);

} // namespace quillet
