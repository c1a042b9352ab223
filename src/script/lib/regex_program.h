// Internal form of a compiled regular expression: a small instruction set
// for the backtracking matcher (regex_match.cpp), produced by the compiler
// (regex_compile.cpp) from the parsed pattern (regex_syntax.h).
#pragma once

#include "common/text.h"
#include "script/lib/regex.h"

#include <bitset>
#include <memory>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillet::script {

// A set of UTF-16 code units: a bitmap for ASCII, ranges beyond it.
struct CharSet {
    std::bitset<128> ascii;
    std::vector<std::pair<char16_t, char16_t>> ranges; // inclusive, non-ASCII parts
    bool negated = false;

    void addRange(char16_t from, char16_t to);
    void addSet(const CharSet& other); // `other` must not be negated
    bool containsRaw(char16_t c) const;
    bool matches(char16_t c, bool ignoreCase) const;
};

// Character classes of the escapes \d \w \s.
CharSet digitSet();
CharSet wordSet();
CharSet spaceSet();
bool isWordChar(char16_t c);
bool isLineTerminator(char16_t c);

enum class Op : uint8_t {
    Char,        // a = code unit
    Any,         // any code unit but a line feed
    Set,         // a = index into sets
    Split,       // try a first, on failure b
    Jump,        // a
    Save,        // slots[a] = position
    LineStart,
    LineEnd,
    WordBoundary,
    NotWordBoundary,
    BackRef,     // a = group number
    Look,        // a = 1 positive / 0 negative, b = pc after the look; body follows, ends in Match
    SetReg,      // slots[a] = b
    LoopHead,    // a = counter slot, b = exit pc; c = min, d = max (-1 none), e = greedy; position slot f
    LoopTail,    // a = counter slot, b = loop head pc, c = min; position slot f
    Match,
};

struct Inst {
    Op op;
    int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
};

struct RegexProgram {
    std::vector<Inst> code;
    std::vector<CharSet> sets;
    int groupCount = 0;
    int slotCount = 0; // 2 per group (including group 0) plus loop registers
    RegexOptions options;
};

} // namespace quillet::script

namespace quillet::script {
// regex_compile.cpp; throws VbError 5017..5021.
std::unique_ptr<RegexProgram> compileRegex(TextView pattern, RegexOptions options);
} // namespace quillet::script
