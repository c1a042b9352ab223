// Parsed form of a regular expression pattern (internal to the regex
// engine).
#pragma once

#include "script/lib/regex_program.h"

#include <memory>
#include <vector>

namespace quillet::script {

struct RegexNode {
    enum Kind {
        Empty,
        Char,       // ch
        Any,
        Set,        // set
        Sequence,   // children
        Alternative,// children
        Group,      // group (0 = non-capturing), children[0]
        Look,       // positive, children[0]
        Repeat,     // min, max (-1 unbounded), greedy, children[0]
        LineStart,
        LineEnd,
        WordBoundary,
        NotWordBoundary,
        BackRef,    // group
    } kind = Empty;
    char16_t ch = 0;
    CharSet set;
    int group = 0;
    bool positive = true;
    int min = 0, max = -1;
    bool greedy = true;
    std::vector<std::unique_ptr<RegexNode>> children;
};

// Deepest nesting of groups the parser accepts (keeps parsing, compiling
// and lookahead matching far from the C++ stack's limit).
inline constexpr int kMaxRegexNesting = 200;

struct ParsedRegex {
    std::unique_ptr<RegexNode> root;
    int groupCount = 0;
};

// Throws VbError 5017..5021.
ParsedRegex parseRegex(TextView pattern);

} // namespace quillet::script
