// The regular expressions of VBScript's RegExp object, matched over UTF-16
// text by our own backtracking engine: character classes, \d \w \s \b and
// their negations, . ^ $ (with a multi-line mode), capturing and
// non-capturing groups, lookahead, alternation, greedy and lazy
// quantifiers, back-references and the usual escapes.
//
// Matching uses an explicit backtracking stack (no recursion beyond the
// nesting of lookaheads, which the parser limits) and a step budget, so a
// pathological pattern ends with a clear error instead of hanging.
#pragma once

#include "common/text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quillet::script {

struct RegexProgram; // regex_program.h

struct RegexOptions {
    bool ignoreCase = false;
    bool multiline = false;
};

// One match: the whole match and each capturing group (start -1 when the
// group did not take part).
struct RegexMatch {
    struct Span {
        long long start = -1;
        long long end = -1;
        bool matched() const { return start >= 0; }
    };
    Span whole;
    std::vector<Span> groups; // group 1 is groups[0]
};

// Work allowed for one script call (Test, Execute or Replace); every
// search made for that call draws from it.
class RegexBudget {
public:
    explicit RegexBudget(long long steps = kDefaultSteps) : remaining_(steps) {}
    static constexpr long long kDefaultSteps = 20'000'000;
    // Throws VbError 28 with an explanation when the budget is spent.
    void spend(long long steps);

private:
    long long remaining_;
};

class Regex {
public:
    // Throws VbError 5017 (syntax), 5018 (quantifier without a target),
    // 5019 (missing ']'), 5020 (missing ')'), 5021 (bad range).
    Regex(TextView pattern, RegexOptions options);
    ~Regex();
    Regex(Regex&&) noexcept;
    Regex& operator=(Regex&&) noexcept;

    int groupCount() const;
    // The first match starting at or after `from`.
    std::optional<RegexMatch> search(TextView text, size_t from, RegexBudget& budget) const;

private:
    std::unique_ptr<RegexProgram> program_;
};

// The replacement text for one match: $1..$99 groups (an unknown group
// number stays literal), $& the match, $` before it, $' after it, $$ a "$".
Text expandReplacement(TextView replacement, TextView text, const RegexMatch& match);

} // namespace quillet::script
