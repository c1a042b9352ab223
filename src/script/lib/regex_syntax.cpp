#include "script/lib/regex_syntax.h"

#include "common/vb_error.h"

namespace quillet::script {

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

std::unique_ptr<RegexNode> node(RegexNode::Kind kind)
{
    auto n = std::make_unique<RegexNode>();
    n->kind = kind;
    return n;
}

class Parser {
public:
    explicit Parser(TextView pattern) : p_(pattern) { totalGroups_ = countGroups(); }

    ParsedRegex parse()
    {
        ParsedRegex out;
        out.root = alternative(0);
        if (i_ < p_.size()) // a ')' without its '('
            throw VbError(vberr::RegExpSyntax);
        out.groupCount = groups_;
        return out;
    }

private:
    // Groups are numbered before parsing so that \10 can tell a
    // back-reference from an octal escape.
    int countGroups() const
    {
        int n = 0;
        bool inClass = false;
        for (size_t k = 0; k < p_.size(); ++k) {
            if (p_[k] == u'\\') {
                ++k;
            } else if (inClass) {
                if (p_[k] == u']')
                    inClass = false;
            } else if (p_[k] == u'[') {
                inClass = true;
            } else if (p_[k] == u'(' && !(k + 1 < p_.size() && p_[k + 1] == u'?')) {
                ++n;
            }
        }
        return n;
    }

    bool atEnd() const { return i_ >= p_.size(); }
    char16_t peek() const { return p_[i_]; }

    std::unique_ptr<RegexNode> alternative(int depth)
    {
        if (depth > kMaxRegexNesting)
            throw VbError(vberr::RegExpSyntax, u"Regular expression nested too deeply");
        auto first = sequence(depth);
        if (atEnd() || peek() != u'|')
            return first;
        auto alt = node(RegexNode::Alternative);
        alt->children.push_back(std::move(first));
        while (!atEnd() && peek() == u'|') {
            ++i_;
            alt->children.push_back(sequence(depth));
        }
        return alt;
    }

    std::unique_ptr<RegexNode> sequence(int depth)
    {
        auto seq = node(RegexNode::Sequence);
        while (!atEnd() && peek() != u'|' && peek() != u')') {
            auto a = atom(depth);
            a = quantified(std::move(a));
            seq->children.push_back(std::move(a));
        }
        return seq;
    }

    bool isQuantifierStart() const
    {
        if (atEnd())
            return false;
        const char16_t c = peek();
        if (c == u'*' || c == u'+' || c == u'?')
            return true;
        int mn, mx;
        size_t len;
        return c == u'{' && braceQuantifier(mn, mx, len);
    }

    // {n}, {n,}, {n,m} at i_; false when the brace is not a quantifier
    // (then it is a literal '{').
    bool braceQuantifier(int& mn, int& mx, size_t& length) const
    {
        size_t k = i_ + 1;
        auto number = [&](int& out) {
            const size_t start = k;
            long long v = 0;
            while (k < p_.size() && p_[k] >= u'0' && p_[k] <= u'9') {
                v = std::min<long long>(v * 10 + (p_[k] - u'0'), 1'000'000'000);
                ++k;
            }
            out = static_cast<int>(v);
            return k > start;
        };
        if (!number(mn))
            return false;
        mx = mn;
        if (k < p_.size() && p_[k] == u',') {
            ++k;
            if (!number(mx))
                mx = -1;
        }
        if (k >= p_.size() || p_[k] != u'}')
            return false;
        length = k + 1 - i_;
        return true;
    }

    std::unique_ptr<RegexNode> quantified(std::unique_ptr<RegexNode> a)
    {
        while (isQuantifierStart()) {
            int mn = 0, mx = -1;
            const char16_t c = peek();
            if (c == u'*') {
                ++i_;
            } else if (c == u'+') {
                mn = 1;
                ++i_;
            } else if (c == u'?') {
                mx = 1;
                ++i_;
            } else {
                size_t len = 0;
                braceQuantifier(mn, mx, len);
                if (mx != -1 && mx < mn)
                    throw VbError(vberr::RegExpSyntax);
                i_ += len;
            }
            const RegexNode::Kind k = a->kind;
            if (k == RegexNode::LineStart || k == RegexNode::LineEnd || k == RegexNode::WordBoundary ||
                k == RegexNode::NotWordBoundary || k == RegexNode::Repeat)
                throw VbError(5018);
            auto r = node(RegexNode::Repeat);
            r->min = mn;
            r->max = mx;
            if (!atEnd() && peek() == u'?') {
                r->greedy = false;
                ++i_;
            }
            r->children.push_back(std::move(a));
            a = std::move(r);
        }
        return a;
    }

    std::unique_ptr<RegexNode> atom(int depth)
    {
        const char16_t c = p_[i_++];
        switch (c) {
        case u'^': return node(RegexNode::LineStart);
        case u'$': return node(RegexNode::LineEnd);
        case u'.': return node(RegexNode::Any);
        case u'[': return charClass();
        case u'(': return group(depth);
        case u'*':
        case u'+':
        case u'?': throw VbError(5018);
        case u'{': {
            --i_;
            int mn, mx;
            size_t len;
            if (braceQuantifier(mn, mx, len))
                throw VbError(5018);
            ++i_;
            return literal(c);
        }
        case u'\\': return escape();
        default: return literal(c);
        }
    }

    std::unique_ptr<RegexNode> literal(char16_t c)
    {
        auto n = node(RegexNode::Char);
        n->ch = c;
        return n;
    }

    std::unique_ptr<RegexNode> setNode(CharSet set)
    {
        auto n = node(RegexNode::Set);
        n->set = std::move(set);
        return n;
    }

    std::unique_ptr<RegexNode> group(int depth)
    {
        std::unique_ptr<RegexNode> n;
        if (!atEnd() && peek() == u'?') {
            if (i_ + 1 >= p_.size())
                throw VbError(vberr::RegExpSyntax);
            const char16_t kind = p_[i_ + 1];
            i_ += 2;
            if (kind == u':') {
                n = node(RegexNode::Group);
            } else if (kind == u'=' || kind == u'!') {
                n = node(RegexNode::Look);
                n->positive = kind == u'=';
            } else {
                throw VbError(vberr::RegExpSyntax);
            }
        } else {
            n = node(RegexNode::Group);
            n->group = ++groups_;
        }
        n->children.push_back(alternative(depth + 1));
        if (atEnd() || peek() != u')')
            throw VbError(5020);
        ++i_;
        return n;
    }

    // The character a character escape stands for, `c` being the letter
    // after the backslash (class escapes such as \d are handled by the
    // callers first).  An escape that is not special stands for itself.
    char16_t characterEscape(char16_t c)
    {
        switch (c) {
        case u't': return u'\t';
        case u'n': return u'\n';
        case u'r': return u'\r';
        case u'f': return u'\f';
        case u'v': return u'\v';
        case u'x':
            if (i_ + 1 < p_.size() && hexValue(p_[i_]) >= 0 && hexValue(p_[i_ + 1]) >= 0) {
                const char16_t v = static_cast<char16_t>(hexValue(p_[i_]) * 16 + hexValue(p_[i_ + 1]));
                i_ += 2;
                return v;
            }
            return u'x';
        case u'u':
            if (i_ + 3 < p_.size() && hexValue(p_[i_]) >= 0 && hexValue(p_[i_ + 1]) >= 0 &&
                hexValue(p_[i_ + 2]) >= 0 && hexValue(p_[i_ + 3]) >= 0) {
                int v = 0;
                for (int k = 0; k < 4; ++k)
                    v = v * 16 + hexValue(p_[i_ + k]);
                i_ += 4;
                return static_cast<char16_t>(v);
            }
            return u'u';
        case u'c':
            if (!atEnd() && ((peek() >= u'a' && peek() <= u'z') || (peek() >= u'A' && peek() <= u'Z')))
                return static_cast<char16_t>(p_[i_++] % 32);
            return u'c';
        default:
            if (c >= u'0' && c <= u'7') {
                // Octal: up to three digits, at most 0377.
                int v = c - u'0';
                for (int k = 0; k < 2 && !atEnd() && peek() >= u'0' && peek() <= u'7' && v * 8 + (peek() - u'0') <= 0377;
                     ++k)
                    v = v * 8 + (p_[i_++] - u'0');
                return static_cast<char16_t>(v);
            }
            return c; // an escaped ordinary character stands for itself
        }
    }

    std::unique_ptr<RegexNode> escape()
    {
        if (atEnd())
            throw VbError(vberr::RegExpSyntax);
        const char16_t c = p_[i_++];
        switch (c) {
        case u'b': return node(RegexNode::WordBoundary);
        case u'B': return node(RegexNode::NotWordBoundary);
        case u'd': return setNode(digitSet());
        case u'w': return setNode(wordSet());
        case u's': return setNode(spaceSet());
        case u'D': case u'W': case u'S': {
            CharSet s = c == u'D' ? digitSet() : c == u'W' ? wordSet() : spaceSet();
            s.negated = true;
            return setNode(std::move(s));
        }
        default: break;
        }
        if (c >= u'1' && c <= u'9') {
            // A back-reference when the number names an existing group.
            size_t k = i_;
            int v = c - u'0';
            while (k < p_.size() && p_[k] >= u'0' && p_[k] <= u'9' && v * 10 + (p_[k] - u'0') <= totalGroups_)
                v = v * 10 + (p_[k++] - u'0');
            if (v <= totalGroups_) {
                i_ = k;
                auto n = node(RegexNode::BackRef);
                n->group = v;
                return n;
            }
        }
        return literal(characterEscape(c));
    }

    // One member of a class: a character, or a class escape merged into `set`
    // (returns false then).
    bool classAtom(CharSet& set, char16_t& out)
    {
        const char16_t c = p_[i_++];
        if (c != u'\\') {
            out = c;
            return true;
        }
        if (atEnd())
            throw VbError(5019);
        const char16_t e = p_[i_++];
        switch (e) {
        case u'd': set.addSet(digitSet()); return false;
        case u'w': set.addSet(wordSet()); return false;
        case u's': set.addSet(spaceSet()); return false;
        case u'D': case u'W': case u'S': {
            const CharSet inner = e == u'D' ? digitSet() : e == u'W' ? wordSet() : spaceSet();
            // The complement of the inner set, as ranges.
            CharSet complement;
            int from = 0;
            for (int ch = 0; ch <= 0xFFFF; ++ch) {
                const bool in = inner.containsRaw(static_cast<char16_t>(ch));
                if (in) {
                    if (from < ch)
                        complement.addRange(static_cast<char16_t>(from), static_cast<char16_t>(ch - 1));
                    from = ch + 1;
                }
            }
            if (from <= 0xFFFF)
                complement.addRange(static_cast<char16_t>(from), u'\xFFFF');
            set.addSet(complement);
            return false;
        }
        case u'b': out = u'\b'; return true;
        default: out = characterEscape(e); return true;
        }
    }

    std::unique_ptr<RegexNode> charClass()
    {
        CharSet set;
        if (!atEnd() && peek() == u'^') {
            set.negated = true;
            ++i_;
        }
        while (true) {
            if (atEnd())
                throw VbError(5019);
            if (peek() == u']') {
                ++i_;
                break;
            }
            char16_t from;
            if (!classAtom(set, from))
                continue;
            if (i_ + 1 < p_.size() && peek() == u'-' && p_[i_ + 1] != u']') {
                ++i_;
                char16_t to;
                if (!classAtom(set, to)) {
                    // [a-\d]: the '-' is literal.
                    set.addRange(from, from);
                    set.addRange(u'-', u'-');
                    continue;
                }
                if (to < from)
                    throw VbError(5021);
                set.addRange(from, to);
            } else {
                set.addRange(from, from);
            }
        }
        return setNode(std::move(set));
    }

    TextView p_;
    size_t i_ = 0;
    int groups_ = 0;
    int totalGroups_ = 0;
};

} // namespace

ParsedRegex parseRegex(TextView pattern)
{
    return Parser(pattern).parse();
}

} // namespace quillet::script
