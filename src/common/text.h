// Text as the sheet scripts see it: a sequence of UTF-16 code units, so
// that Len, Mid and InStr count exactly as VBScript counts.  Every library
// of the project uses this one string type; conversion to UTF-8 happens
// only at the edges (files, the console, Qt).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16.  Invalid UTF-8 decodes to U+FFFD per bad byte; a lone
// surrogate encodes as U+FFFD.
Text fromUtf8(std::string_view bytes);
std::string toUtf8(TextView text);

// Text as the Windows programs wrote it: valid UTF-8 is read as UTF-8,
// anything else as Windows-1252.  A leading UTF-8 byte-order mark is
// dropped; one of UTF-16 (little or big endian, as Windows editors save
// "Unicode" text) makes the rest read as UTF-16, an odd last byte as U+FFFD.
Text decodeFileText(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
Text fromWindows1252(std::string_view bytes);
// UTF-16 without a byte-order mark; an odd last byte reads as U+FFFD.
Text fromUtf16(std::string_view bytes, bool bigEndian);
// One Windows-1252 byte and back.  The code page's five undefined bytes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control of the same
// number, so every byte round-trips; a character the code page lacks has
// no byte (-1).
char16_t windows1252Char(unsigned char byte);
int windows1252Byte(char16_t c);

// ASCII-only convenience for literals built at run time.
Text fromAscii(std::string_view ascii);

// Simple (one-to-one) Unicode case mapping, as VBScript's LCase and UCase
// do it: Latin, Greek and Cyrillic letters; everything else unchanged.
char16_t lowerChar(char16_t c);
char16_t upperChar(char16_t c);
Text lowerCase(TextView text);
Text upperCase(TextView text);
bool equalsIgnoreCase(TextView a, TextView b);
bool startsWithIgnoreCase(TextView text, TextView prefix);

// Trim removes blanks (code 32) only, like VBScript's Trim.
Text trimSpaces(TextView text);
// The same without a copy: a view of `text` without its outer blanks.
TextView trimSpacesView(TextView text);
Text trimLeftSpaces(TextView text);
Text trimRightSpaces(TextView text);

// Decimal text of a whole number: "-12", "0", no blanks.
Text decimalText(int64_t value);

} // namespace quillet
