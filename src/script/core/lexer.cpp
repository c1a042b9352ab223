#include "script/core/lexer.h"

#include "script/core/compile_error.h"
#include "script/lib/date_time.h"
#include "script/stop_poll.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace quillet::script {
namespace {

const std::unordered_map<Text, Kw>& keywordTable()
{
    static const std::unordered_map<Text, Kw> table = {
        {u"and", Kw::And}, {u"byref", Kw::ByRef}, {u"byval", Kw::ByVal}, {u"call", Kw::Call},
        {u"case", Kw::Case}, {u"class", Kw::Class}, {u"const", Kw::Const}, {u"default", Kw::Default},
        {u"dim", Kw::Dim}, {u"do", Kw::Do}, {u"each", Kw::Each}, {u"else", Kw::Else},
        {u"elseif", Kw::ElseIf}, {u"empty", Kw::Empty}, {u"end", Kw::End}, {u"eqv", Kw::Eqv},
        {u"erase", Kw::Erase}, {u"error", Kw::Error}, {u"exit", Kw::Exit}, {u"explicit", Kw::Explicit},
        {u"false", Kw::False}, {u"for", Kw::For}, {u"function", Kw::Function}, {u"get", Kw::Get},
        {u"goto", Kw::GoTo}, {u"if", Kw::If}, {u"imp", Kw::Imp}, {u"in", Kw::In}, {u"is", Kw::Is},
        {u"let", Kw::Let}, {u"loop", Kw::Loop}, {u"mod", Kw::Mod}, {u"new", Kw::New}, {u"next", Kw::Next},
        {u"not", Kw::Not}, {u"nothing", Kw::Nothing}, {u"null", Kw::Null}, {u"on", Kw::On},
        {u"option", Kw::Option}, {u"or", Kw::Or}, {u"preserve", Kw::Preserve}, {u"private", Kw::Private},
        {u"property", Kw::Property}, {u"public", Kw::Public}, {u"redim", Kw::ReDim},
        {u"resume", Kw::Resume}, {u"select", Kw::Select}, {u"set", Kw::Set}, {u"step", Kw::Step},
        {u"sub", Kw::Sub}, {u"then", Kw::Then}, {u"to", Kw::To}, {u"true", Kw::True},
        {u"until", Kw::Until}, {u"wend", Kw::Wend}, {u"while", Kw::While}, {u"with", Kw::With},
        {u"xor", Kw::Xor}, {u"me", Kw::Me},
    };
    return table;
}

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isIdentChar(char16_t c) { return isLetter(c) || isDigit(c) || c == u'_'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0 || c == u'\f' || c == u'\v'; }

class Lexer {
public:
    explicit Lexer(TextView src) : src_(src) {}

    std::vector<Token> run()
    {
        StopPoll poll(4096); // a huge text must not outlast a stop request
        while (true) {
            poll.tick();
            bool spaced = skipBlanks();
            if (pos_ >= src_.size())
                break;
            const char16_t c = src_[pos_];
            Token t;
            t.line = line_;
            t.column = column();
            t.spaced = spaced || tokens_.empty() || tokens_.back().kind == Tok::EndOfStatement;
            if (c == u'\r' || c == u'\n') {
                newline();
                t.text = u"\n";
                pushEnd(t);
                continue;
            }
            if (c == u'\'') {
                skipToLineEnd();
                continue;
            }
            if (c == u':') {
                ++pos_;
                t.text = u":";
                pushEnd(t);
                continue;
            }
            if (c == u'_' && continuationAhead()) {
                continue;
            }
            if (isLetter(c)) {
                identifier(t);
                continue;
            }
            if (c == u'[') {
                bracketed(t);
                continue;
            }
            if (isDigit(c) || (c == u'.' && pos_ + 1 < src_.size() && isDigit(src_[pos_ + 1]) && numberMayStart(t))) {
                number(t);
                continue;
            }
            if (c == u'"') {
                string(t);
                continue;
            }
            if (c == u'#') {
                date(t);
                continue;
            }
            if (c == u'&' && pos_ + 1 < src_.size()) {
                const char16_t n = src_[pos_ + 1];
                if (((n == u'h' || n == u'H') && pos_ + 2 < src_.size() && hexDigit(src_[pos_ + 2]) >= 0) ||
                    ((n == u'o' || n == u'O') && pos_ + 2 < src_.size() && isDigit(src_[pos_ + 2])) ||
                    (n >= u'0' && n <= u'7')) {
                    radix(t);
                    continue;
                }
            }
            punctuation(t);
        }
        Token end;
        end.line = line_;
        end.column = column();
        end.text = u"\n";
        pushEnd(end);
        end.kind = Tok::EndOfFile;
        tokens_.push_back(end);
        return std::move(tokens_);
    }

private:
    int column() const { return static_cast<int>(pos_ - lineStart_) + 1; }

    [[noreturn]] void fail(int number) { throwCompileError(number, line_, column()); }

    bool skipBlanks()
    {
        bool any = false;
        while (pos_ < src_.size() && isBlank(src_[pos_])) {
            ++pos_;
            any = true;
        }
        return any;
    }

    void newline()
    {
        if (src_[pos_] == u'\r' && pos_ + 1 < src_.size() && src_[pos_ + 1] == u'\n')
            ++pos_;
        ++pos_;
        ++line_;
        lineStart_ = pos_;
    }

    void skipToLineEnd()
    {
        while (pos_ < src_.size() && src_[pos_] != u'\r' && src_[pos_] != u'\n')
            ++pos_;
    }

    // `_` followed by blanks and a line end joins the next line.
    bool continuationAhead()
    {
        size_t p = pos_ + 1;
        while (p < src_.size() && isBlank(src_[p]))
            ++p;
        if (p < src_.size() && src_[p] != u'\r' && src_[p] != u'\n')
            return false;
        pos_ = p;
        if (pos_ < src_.size())
            newline();
        return true;
    }

    void pushEnd(Token& t)
    {
        // Collapse runs of statement ends: the parser never needs two, but
        // it must know whether a line ended (single-line If ends there) and
        // whether the run began with ':' (`If x Then :` is single-line).
        const bool lineEnd = t.text == u"\n";
        if (!tokens_.empty() && tokens_.back().kind == Tok::EndOfStatement) {
            tokens_.back().lineEnd = tokens_.back().lineEnd || lineEnd;
            return;
        }
        t.kind = Tok::EndOfStatement;
        t.lineEnd = lineEnd;
        tokens_.push_back(t);
    }

    bool numberMayStart(const Token& t) const
    {
        if (t.spaced || tokens_.empty())
            return true;
        const Tok prev = tokens_.back().kind;
        return prev != Tok::Identifier && prev != Tok::RParen;
    }

    void identifier(Token& t)
    {
        const size_t start = pos_;
        while (pos_ < src_.size() && isIdentChar(src_[pos_]))
            ++pos_;
        t.kind = Tok::Identifier;
        t.text = Text(src_.substr(start, pos_ - start));
        if (t.text.size() > 255)
            throwCompileError(cerr::IdentifierTooLong, t.line, t.column);
        // After a dot a word is a member name, whatever it is elsewhere.
        if (!tokens_.empty() && tokens_.back().kind == Tok::Dot) {
            tokens_.push_back(std::move(t));
            return;
        }
        const Text lower = lowerCase(t.text);
        if (lower == u"rem") {
            skipToLineEnd();
            return;
        }
        auto it = keywordTable().find(lower);
        if (it != keywordTable().end())
            t.keyword = it->second;
        tokens_.push_back(std::move(t));
    }

    void bracketed(Token& t)
    {
        const size_t start = ++pos_;
        while (pos_ < src_.size() && src_[pos_] != u']' && src_[pos_] != u'\r' && src_[pos_] != u'\n')
            ++pos_;
        if (pos_ >= src_.size() || src_[pos_] != u']')
            fail(cerr::ExpectedRBracket);
        t.kind = Tok::Identifier;
        t.bracketed = true;
        t.text = Text(src_.substr(start, pos_ - start));
        ++pos_;
        tokens_.push_back(std::move(t));
    }

    void number(Token& t)
    {
        std::string ascii;
        bool isFloat = false;
        while (pos_ < src_.size() && isDigit(src_[pos_]))
            ascii.push_back(static_cast<char>(src_[pos_++]));
        if (pos_ < src_.size() && src_[pos_] == u'.') {
            isFloat = true;
            ascii.push_back('.');
            ++pos_;
            while (pos_ < src_.size() && isDigit(src_[pos_]))
                ascii.push_back(static_cast<char>(src_[pos_++]));
        }
        if (pos_ < src_.size() && (src_[pos_] == u'e' || src_[pos_] == u'E')) {
            size_t p = pos_ + 1;
            std::string exp = "e";
            if (p < src_.size() && (src_[p] == u'+' || src_[p] == u'-'))
                exp.push_back(static_cast<char>(src_[p++]));
            if (p < src_.size() && isDigit(src_[p])) {
                while (p < src_.size() && isDigit(src_[p]))
                    exp.push_back(static_cast<char>(src_[p++]));
                ascii += exp;
                pos_ = p;
                isFloat = true;
            } else {
                fail(cerr::InvalidNumber);
            }
        }
        if (pos_ < src_.size() && isLetter(src_[pos_]))
            fail(cerr::ExpectedEndOfStatement);
        const double d = std::strtod(ascii.c_str(), nullptr);
        if (std::isinf(d))
            fail(cerr::InvalidNumber);
        t.kind = Tok::Number;
        if (!isFloat && d <= 32767)
            t.value = Value::integer(static_cast<int16_t>(d));
        else if (!isFloat && d <= 2147483647.0)
            t.value = Value::longInt(static_cast<int32_t>(d));
        else
            t.value = Value::dbl(d);
        tokens_.push_back(std::move(t));
    }

    static int hexDigit(char16_t c)
    {
        if (isDigit(c))
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    }

    // &Hxxxx, &Oooo or &ooo, with an optional & that reads the digits as
    // 32 bits (else up to 16 bits are read as an Integer: &HFFFF is -1).
    // The value is then typed as a decimal literal would be: Integer when
    // it fits (&HFFFFFFFF& is the Integer -1), Long otherwise.
    void radix(Token& t)
    {
        ++pos_; // &
        int base = 8;
        if (src_[pos_] == u'h' || src_[pos_] == u'H') {
            base = 16;
            ++pos_;
        } else if (src_[pos_] == u'o' || src_[pos_] == u'O') {
            ++pos_;
        }
        uint64_t value = 0;
        int digits = 0;
        while (pos_ < src_.size()) {
            const int d = hexDigit(src_[pos_]);
            if (d < 0 || d >= base)
                break;
            value = value * base + d;
            if (value > 0xFFFFFFFFull)
                fail(cerr::InvalidNumber);
            ++digits;
            ++pos_;
        }
        if (digits == 0)
            fail(cerr::InvalidNumber);
        bool longDigits = value > 0xFFFF;
        if (pos_ < src_.size() && src_[pos_] == u'&') {
            longDigits = true;
            ++pos_;
        }
        const int32_t n = longDigits ? static_cast<int32_t>(static_cast<uint32_t>(value))
                                     : static_cast<int16_t>(static_cast<uint16_t>(value));
        t.kind = Tok::Number;
        t.value = n >= INT16_MIN && n <= INT16_MAX ? Value::integer(static_cast<int16_t>(n)) : Value::longInt(n);
        tokens_.push_back(std::move(t));
    }

    void string(Token& t)
    {
        ++pos_;
        Text text;
        while (true) {
            if (pos_ >= src_.size() || src_[pos_] == u'\r' || src_[pos_] == u'\n')
                fail(cerr::UnterminatedString);
            const char16_t c = src_[pos_++];
            if (c == u'"') {
                if (pos_ < src_.size() && src_[pos_] == u'"') {
                    text.push_back(u'"');
                    ++pos_;
                    continue;
                }
                break;
            }
            text.push_back(c);
        }
        t.kind = Tok::String;
        t.text = std::move(text);
        tokens_.push_back(std::move(t));
    }

    void date(Token& t)
    {
        const size_t start = ++pos_;
        while (pos_ < src_.size() && src_[pos_] != u'#' && src_[pos_] != u'\r' && src_[pos_] != u'\n')
            ++pos_;
        if (pos_ >= src_.size() || src_[pos_] != u'#')
            throwCompileError(cerr::Syntax, t.line, t.column);
        const auto serial = parseDateText(src_.substr(start, pos_ - start));
        if (!serial)
            throwCompileError(cerr::Syntax, t.line, t.column);
        ++pos_;
        t.kind = Tok::Date;
        t.value = Value::date(*serial);
        tokens_.push_back(std::move(t));
    }

    void punctuation(Token& t)
    {
        const char16_t c = src_[pos_++];
        switch (c) {
        case u'(': t.kind = Tok::LParen; break;
        case u')': t.kind = Tok::RParen; break;
        case u',': t.kind = Tok::Comma; break;
        case u'.': t.kind = Tok::Dot; break;
        case u'+': case u'-': case u'*': case u'/': case u'\\': case u'^': case u'&':
            t.kind = Tok::Operator;
            t.text = Text(1, c);
            break;
        // The comparisons may be written either way round: "=<" is "<=",
        // "=>" is ">=" and "><" is "<>".
        case u'=':
            t.kind = Tok::Operator;
            t.text = u"=";
            if (pos_ < src_.size() && (src_[pos_] == u'<' || src_[pos_] == u'>'))
                t.text.insert(t.text.begin(), src_[pos_++]);
            break;
        case u'<':
            t.kind = Tok::Operator;
            t.text = u"<";
            if (pos_ < src_.size() && (src_[pos_] == u'=' || src_[pos_] == u'>'))
                t.text.push_back(src_[pos_++]);
            break;
        case u'>':
            t.kind = Tok::Operator;
            t.text = u">";
            if (pos_ < src_.size() && src_[pos_] == u'=')
                t.text.push_back(src_[pos_++]);
            else if (pos_ < src_.size() && src_[pos_] == u'<') {
                t.text = u"<>";
                ++pos_;
            }
            break;
        default:
            --pos_;
            fail(cerr::InvalidCharacter);
        }
        tokens_.push_back(std::move(t));
    }

    TextView src_;
    size_t pos_ = 0;
    size_t lineStart_ = 0;
    int line_ = 1;
    std::vector<Token> tokens_;
};

} // namespace

std::vector<Token> tokenize(TextView source)
{
    return Lexer(source).run();
}

} // namespace quillet::script
