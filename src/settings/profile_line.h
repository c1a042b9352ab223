// One line of a profile file as the reader sees it.  Section and key
// names, and values, are taken without the blanks and TABs around them;
// a value in matching double quotes is read without the quotes.
#pragma once

#include "common/text.h"

namespace quillet {

struct ProfileLine {
    enum class Kind {
        Blank,   // nothing but blanks
        Comment, // first visible character is ";"
        Section, // "[" name "]"; anything after the "]" is ignored
        Key,     // name "=" value, with a name that is not empty
        Other,   // anything else: kept in the file, never matched
    };
    Kind kind = Kind::Blank;
    Text name;
    Text value;
};

ProfileLine parseProfileLine(TextView line);

// Blanks and TABs removed at both ends.
Text trimProfileBlanks(TextView text);

// The text to put after "=" so that reading gives `value` back exactly:
// a value that starts or ends with a blank, or is itself wrapped in double
// quotes, is written inside an extra pair of quotes.
Text quoteProfileValue(TextView value);

} // namespace quillet
