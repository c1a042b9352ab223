// Fonts whose characters are pictures rather than letters: Symbol (Greek
// and mathematics), Wingdings, Wingdings 2, Wingdings 3 and Webdings.
// Sheets print check boxes, bullets and arrows by writing the code of the
// picture (Chr(254) in Wingdings is a ticked box).  No font installed here
// keeps those pictures at those codes, so the codes are turned into the
// Unicode characters they stand for and drawn with a font that has them
// (font_resolver.cpp picks it), both when measuring and when drawing.
#pragma once

#include "common/text.h"

namespace quillet::surface {

enum class SymbolFont { None, Symbol, Wingdings, Wingdings2, Wingdings3, Webdings };

// Which picture font a font name is (case and surrounding blanks ignored).
SymbolFont symbolFontNamed(TextView fontName);

// The code a character of script text stands for in a picture font: the
// Windows-1252 byte the script wrote (Chr(150) arrives as U+2013), or a
// private-use character U+F020..U+F0FF as Windows addresses such fonts.
// 0 when the character is no such code.
unsigned symbolCodeOf(char16_t c);

// The Unicode character for `code` (0x20..0xFF) in `font`, or 0 when the
// code has no known picture (the character is then printed as it is).
char32_t symbolFontCharacter(SymbolFont font, unsigned code);

// `text` with every code of `font` turned into its Unicode character.
Text symbolFontText(SymbolFont font, TextView text);

} // namespace quillet::surface
