// The backtracking matcher.  Choice points and the old values of the
// registers they must restore live on one explicit stack, so the depth of
// backtracking never touches the C++ stack; only lookaheads nest a call,
// and the parser limits how deeply they can nest.
#include "script/lib/regex_program.h"

#include "common/vb_error.h"
#include "common/stop_request.h"

#include <deque>

namespace quillet::script {

void RegexBudget::spend(long long steps)
{
    // Spent every few thousand steps: the place to notice a stop request.
    pollStop();
    remaining_ -= steps;
    if (remaining_ < 0)
        throw VbError(vberr::OutOfStack,
                      u"Out of stack space: the regular expression needs too many steps to match this text");
}

namespace {

// Most entries one match may keep on its backtracking stack.
constexpr size_t kMaxBacktrackEntries = 4'000'000;
// Lookaheads nest no deeper than the parser's group nesting; this is a
// second guard for the one place the matcher recurses.
constexpr int kMaxLookDepth = 400;

inline bool sameIgnoringCase(char16_t a, char16_t b)
{
    return a == b || lowerChar(a) == lowerChar(b) || upperChar(a) == upperChar(b);
}

class Matcher {
public:
    Matcher(const RegexProgram& program, TextView text, RegexBudget& budget)
        : prog_(program), text_(text), budget_(budget)
    {
    }

    // Charges the steps not yet charged to the budget.
    void flush()
    {
        budget_.spend(pendingSteps_);
        pendingSteps_ = 0;
    }

    // Runs the program from `pc` at `pos` with `slots` as the registers;
    // on success `slots` holds the result and `endPos` the end.
    bool run(int pc, int pos, std::vector<int>& slots, int& endPos, int depth)
    {
        // One stack per lookahead depth, kept between runs so that trying
        // every start position does not allocate each time.
        if (stacks_.size() <= static_cast<size_t>(depth))
            stacks_.resize(static_cast<size_t>(depth) + 1);
        std::vector<Entry>& stack = stacks_[static_cast<size_t>(depth)];
        stack.clear();
        const bool ignoreCase = prog_.options.ignoreCase;
        const bool multiline = prog_.options.multiline;
        const int len = static_cast<int>(text_.size());
        auto setSlot = [&](int slot, int value) {
            stack.push_back({Entry::Restore, slot, slots[slot]});
            slots[slot] = value;
        };
        for (;;) {
            bool fail = false;
            if (++pendingSteps_ >= 4096) {
                budget_.spend(pendingSteps_);
                pendingSteps_ = 0;
                if (stack.size() > kMaxBacktrackEntries)
                    throw VbError(vberr::OutOfStack,
                                  u"Out of stack space: the regular expression backtracks too deeply on this text");
            }
            const Inst& in = prog_.code[pc];
            switch (in.op) {
            case Op::Char:
                if (pos < len && (text_[pos] == in.a || (ignoreCase && sameIgnoringCase(text_[pos], in.a)))) {
                    ++pos;
                    ++pc;
                } else {
                    fail = true;
                }
                break;
            case Op::Any:
                if (pos < len && text_[pos] != u'\n') {
                    ++pos;
                    ++pc;
                } else {
                    fail = true;
                }
                break;
            case Op::Set:
                if (pos < len && prog_.sets[in.a].matches(text_[pos], ignoreCase)) {
                    ++pos;
                    ++pc;
                } else {
                    fail = true;
                }
                break;
            case Op::Split:
                stack.push_back({Entry::Choice, in.b, pos});
                pc = in.a;
                break;
            case Op::Jump: pc = in.a; break;
            case Op::Save:
                setSlot(in.a, pos);
                ++pc;
                break;
            case Op::LineStart:
                fail = !(pos == 0 || (multiline && isLineTerminator(text_[pos - 1])));
                ++pc;
                break;
            case Op::LineEnd:
                fail = !(pos == len || (multiline && isLineTerminator(text_[pos])));
                ++pc;
                break;
            case Op::WordBoundary:
            case Op::NotWordBoundary: {
                const bool before = pos > 0 && isWordChar(text_[pos - 1]);
                const bool after = pos < len && isWordChar(text_[pos]);
                fail = (before != after) != (in.op == Op::WordBoundary);
                ++pc;
                break;
            }
            case Op::BackRef: {
                const int start = slots[2 * in.a];
                const int end = slots[2 * in.a + 1];
                if (start >= 0 && end >= start) {
                    const int n = end - start;
                    if (pos + n > len) {
                        fail = true;
                    } else {
                        for (int k = 0; k < n && !fail; ++k) {
                            const char16_t a = text_[start + k];
                            const char16_t b = text_[pos + k];
                            fail = !(a == b || (ignoreCase && sameIgnoringCase(a, b)));
                        }
                        pos += fail ? 0 : n;
                    }
                }
                ++pc;
                break;
            }
            case Op::Look: {
                if (depth > kMaxLookDepth)
                    throw VbError(vberr::OutOfStack);
                std::vector<int> inner = slots;
                int innerEnd = pos;
                const bool found = run(pc + 1, pos, inner, innerEnd, depth + 1);
                if (found != (in.a == 1)) {
                    fail = true;
                } else if (found) {
                    for (size_t s = 0; s < inner.size(); ++s)
                        if (inner[s] != slots[s])
                            setSlot(static_cast<int>(s), inner[s]);
                }
                pc = in.b;
                break;
            }
            case Op::SetReg:
                setSlot(in.a, in.b);
                ++pc;
                break;
            case Op::LoopHead: {
                const int count = slots[in.a];
                if (count < in.c) {
                    setSlot(in.f, pos);
                    ++pc;
                } else if (in.d != -1 && count >= in.d) {
                    pc = in.b;
                } else if (in.e) {
                    stack.push_back({Entry::Choice, in.b, pos});
                    setSlot(in.f, pos);
                    ++pc;
                } else {
                    stack.push_back({Entry::EnterLoop, pc, pos});
                    pc = in.b;
                }
                break;
            }
            case Op::LoopTail: {
                const int count = slots[in.a] + 1;
                if (pos == slots[in.f] && count > in.c) {
                    fail = true; // an empty iteration cannot repeat the loop
                } else {
                    setSlot(in.a, count);
                    pc = in.b;
                }
                break;
            }
            case Op::Match:
                endPos = pos;
                return true;
            }
            if (!fail)
                continue;
            // Backtrack to the latest choice, undoing register writes.
            for (;;) {
                if (stack.empty())
                    return false;
                const Entry e = stack.back();
                stack.pop_back();
                if (e.kind == Entry::Restore) {
                    slots[e.a] = e.b;
                    continue;
                }
                pos = e.b;
                if (e.kind == Entry::Choice) {
                    pc = e.a;
                } else {
                    const Inst& head = prog_.code[e.a];
                    setSlot(head.f, pos);
                    pc = e.a + 1;
                }
                break;
            }
        }
    }

private:
    struct Entry {
        enum Kind : int { Choice, EnterLoop, Restore } kind;
        int a; // Choice/EnterLoop: pc; Restore: slot
        int b; // Choice/EnterLoop: position; Restore: old value
    };

    const RegexProgram& prog_;
    TextView text_;
    RegexBudget& budget_;
    long long pendingSteps_ = 0;
    std::deque<std::vector<Entry>> stacks_; // a deque: growing it keeps references valid
};

} // namespace

Regex::Regex(TextView pattern, RegexOptions options) : program_(compileRegex(pattern, options)) {}
Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

int Regex::groupCount() const { return program_->groupCount; }

std::optional<RegexMatch> Regex::search(TextView text, size_t from, RegexBudget& budget) const
{
    const RegexProgram& prog = *program_;
    Matcher matcher(prog, text, budget);
    // A pattern starting with a literal character only needs to be tried
    // where that character stands.
    const Inst& first = prog.code.front();
    const bool literalStart = first.op == Op::Char && !prog.options.ignoreCase;
    std::vector<int> slots;
    for (size_t start = from; start <= text.size(); ++start) {
        if (literalStart) {
            const size_t at = text.find(static_cast<char16_t>(first.a), start);
            if (at == TextView::npos)
                break;
            start = at;
        }
        slots.assign(static_cast<size_t>(prog.slotCount), -1);
        int end = 0;
        const bool found = matcher.run(0, static_cast<int>(start), slots, end, 0);
        if (found) {
            matcher.flush();
            RegexMatch m;
            m.whole = {static_cast<long long>(start), end};
            for (int g = 1; g <= prog.groupCount; ++g) {
                const int s = slots[2 * g];
                const int e = slots[2 * g + 1];
                if (s >= 0 && e >= s)
                    m.groups.push_back({s, e});
                else
                    m.groups.push_back({});
            }
            return m;
        }
    }
    matcher.flush();
    return std::nullopt;
}

Text expandReplacement(TextView replacement, TextView text, const RegexMatch& match)
{
    Text out;
    const size_t groupCount = match.groups.size();
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char16_t n = replacement[i + 1];
        if (n == u'$') {
            out.push_back(u'$');
            ++i;
        } else if (n == u'&') {
            out.append(text.substr(match.whole.start, match.whole.end - match.whole.start));
            ++i;
        } else if (n == u'`') {
            out.append(text.substr(0, match.whole.start));
            ++i;
        } else if (n == u'\'') {
            out.append(text.substr(match.whole.end));
            ++i;
        } else if (n >= u'0' && n <= u'9') {
            // Two digits when they name a group, else one.
            size_t group = n - u'0';
            size_t used = 1;
            if (i + 2 < replacement.size() && replacement[i + 2] >= u'0' && replacement[i + 2] <= u'9') {
                const size_t two = group * 10 + (replacement[i + 2] - u'0');
                if (two >= 1 && two <= groupCount) {
                    group = two;
                    used = 2;
                }
            }
            if (group >= 1 && group <= groupCount) {
                const RegexMatch::Span& g = match.groups[group - 1];
                if (g.matched())
                    out.append(text.substr(g.start, g.end - g.start));
                i += used;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace quillet::script
