// Turns the parsed pattern into instructions.  Every quantifier becomes a
// counted loop (LoopHead/LoopTail with a counter and a position register),
// so {1000} costs a few instructions rather than a thousand copies, and an
// iteration that matches nothing ends the loop instead of spinning.
#include "script/lib/regex_syntax.h"

#include "common/vb_error.h"

namespace quillet::script {

void CharSet::addRange(char16_t from, char16_t to)
{
    for (int c = from; c <= to && c < 128; ++c)
        ascii.set(static_cast<size_t>(c));
    if (to >= 128)
        ranges.emplace_back(std::max<char16_t>(from, 128), to);
}

void CharSet::addSet(const CharSet& other)
{
    ascii |= other.ascii;
    ranges.insert(ranges.end(), other.ranges.begin(), other.ranges.end());
}

bool CharSet::containsRaw(char16_t c) const
{
    if (c < 128)
        return ascii.test(c);
    for (const auto& [from, to] : ranges)
        if (c >= from && c <= to)
            return true;
    return false;
}

bool CharSet::matches(char16_t c, bool ignoreCase) const
{
    bool in = containsRaw(c);
    if (!in && ignoreCase) {
        const char16_t lower = lowerChar(c);
        const char16_t upper = upperChar(c);
        in = (lower != c && containsRaw(lower)) || (upper != c && containsRaw(upper));
    }
    return in != negated;
}

CharSet digitSet()
{
    CharSet s;
    s.addRange(u'0', u'9');
    return s;
}

CharSet wordSet()
{
    CharSet s;
    s.addRange(u'a', u'z');
    s.addRange(u'A', u'Z');
    s.addRange(u'0', u'9');
    s.addRange(u'_', u'_');
    return s;
}

CharSet spaceSet()
{
    CharSet s;
    s.addRange(u'\t', u'\r'); // tab, line feed, vertical tab, form feed, carriage return
    s.addRange(u' ', u' ');
    s.addRange(u'\x00A0', u'\x00A0');
    s.addRange(u'\x2028', u'\x2029');
    s.addRange(u'\xFEFF', u'\xFEFF');
    return s;
}

bool isWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

bool isLineTerminator(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\x2028' || c == u'\x2029';
}

namespace {

// Upper bound on instructions: a pattern longer than this is refused
// rather than compiled into something unreasonable.
constexpr size_t kMaxInstructions = 1'000'000;

class Compiler {
public:
    explicit Compiler(RegexProgram& program) : prog_(program) {}

    void emitNode(const RegexNode& n)
    {
        switch (n.kind) {
        case RegexNode::Empty: break;
        case RegexNode::Char: emit({Op::Char, n.ch}); break;
        case RegexNode::Any: emit({Op::Any}); break;
        case RegexNode::Set:
            prog_.sets.push_back(n.set);
            emit({Op::Set, static_cast<int>(prog_.sets.size() - 1)});
            break;
        case RegexNode::Sequence:
            for (const auto& child : n.children)
                emitNode(*child);
            break;
        case RegexNode::Alternative: alternative(n); break;
        case RegexNode::Group:
            if (n.group > 0)
                emit({Op::Save, 2 * n.group});
            emitNode(*n.children[0]);
            if (n.group > 0)
                emit({Op::Save, 2 * n.group + 1});
            break;
        case RegexNode::Look: {
            const size_t look = emit({Op::Look, n.positive ? 1 : 0});
            emitNode(*n.children[0]);
            emit({Op::Match});
            prog_.code[look].b = static_cast<int>(prog_.code.size());
            break;
        }
        case RegexNode::Repeat: repeat(n); break;
        case RegexNode::LineStart: emit({Op::LineStart}); break;
        case RegexNode::LineEnd: emit({Op::LineEnd}); break;
        case RegexNode::WordBoundary: emit({Op::WordBoundary}); break;
        case RegexNode::NotWordBoundary: emit({Op::NotWordBoundary}); break;
        case RegexNode::BackRef: emit({Op::BackRef, n.group}); break;
        }
    }

private:
    size_t emit(Inst inst)
    {
        if (prog_.code.size() >= kMaxInstructions)
            throw VbError(vberr::RegExpSyntax, u"Regular expression too large");
        prog_.code.push_back(inst);
        return prog_.code.size() - 1;
    }

    int here() const { return static_cast<int>(prog_.code.size()); }

    void alternative(const RegexNode& n)
    {
        // Split L1, next; L1: first; Jump end; next: Split L2, next2 ...
        std::vector<size_t> jumps;
        for (size_t k = 0; k < n.children.size(); ++k) {
            if (k + 1 < n.children.size()) {
                const size_t split = emit({Op::Split});
                prog_.code[split].a = here();
                emitNode(*n.children[k]);
                jumps.push_back(emit({Op::Jump}));
                prog_.code[split].b = here();
            } else {
                emitNode(*n.children[k]);
            }
        }
        for (size_t j : jumps)
            prog_.code[j].a = here();
    }

    void repeat(const RegexNode& n)
    {
        if (n.max == 0)
            return;
        const int counter = prog_.slotCount++;
        const int position = prog_.slotCount++;
        emit({Op::SetReg, counter, 0});
        const size_t head = emit({Op::LoopHead, counter, 0, n.min, n.max, n.greedy ? 1 : 0, position});
        emitNode(*n.children[0]);
        emit({Op::LoopTail, counter, static_cast<int>(head), n.min, 0, 0, position});
        prog_.code[head].b = here();
    }

    RegexProgram& prog_;
};

} // namespace

std::unique_ptr<RegexProgram> compileRegex(TextView pattern, RegexOptions options)
{
    ParsedRegex parsed = parseRegex(pattern);
    auto program = std::make_unique<RegexProgram>();
    program->options = options;
    program->groupCount = parsed.groupCount;
    program->slotCount = 2 * (parsed.groupCount + 1);
    Compiler compiler(*program);
    compiler.emitNode(*parsed.root);
    program->code.push_back({Op::Match});
    return program;
}

} // namespace quillet::script
