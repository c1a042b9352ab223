// Reading a date and/or time from text the way an en-US system does for
// CDate and IsDate: tokens first, then the time part (numbers joined by
// ':' or followed by AM/PM), then whatever numbers and month name remain
// make the date.
#include "script/lib/date_time.h"

#include "script/lib/local_clock.h"

#include <vector>

namespace quillet::script {

namespace {

struct Token {
    enum Kind { Number, Word, Colon, Separator } kind;
    int value = 0;      // Number
    int digits = 0;     // Number: how many digits were written
    Text word;          // Word, lower case
    bool used = false;

    explicit Token(Kind k) : kind(k) {}
};

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

std::optional<std::vector<Token>> tokenize(TextView text)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            Token t(Token::Number);
            while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
                if (t.value > 100000)
                    return std::nullopt;
                t.value = t.value * 10 + (text[i] - u'0');
                ++t.digits;
                ++i;
            }
            tokens.push_back(t);
        } else if (isLetter(c)) {
            Token t(Token::Word);
            while (i < text.size() && (isLetter(text[i]) || text[i] == u'.')) {
                if (text[i] != u'.')
                    t.word.push_back(lowerChar(text[i]));
                ++i;
            }
            tokens.push_back(t);
        } else if (c == u':') {
            tokens.emplace_back(Token::Colon);
            ++i;
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u' ' || c == u'\t') {
            if (c != u' ' && c != u'\t')
                tokens.emplace_back(Token::Separator);
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int monthFromWord(const Text& word)
{
    static const char16_t* const kNames[] = {u"january", u"february", u"march",     u"april",   u"may",      u"june",
                                             u"july",    u"august",   u"september", u"october", u"november", u"december"};
    if (word.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        const Text name = kNames[m];
        if (word == name || (word.size() <= name.size() && name.compare(0, word.size(), word) == 0 && word.size() == 3))
            return m + 1;
    }
    if (word == u"sept")
        return 9;
    return 0;
}

bool isWeekdayWord(const Text& word)
{
    static const char16_t* const kNames[] = {u"sunday",   u"monday", u"tuesday", u"wednesday",
                                             u"thursday", u"friday", u"saturday"};
    for (const char16_t* n : kNames) {
        const Text name = n;
        if (word == name || (word.size() == 3 && name.compare(0, 3, word) == 0))
            return true;
    }
    return false;
}

// 0 = not an am/pm word, 1 = am, 2 = pm
int meridiemOf(const Text& word)
{
    if (word == u"am" || word == u"a")
        return 1;
    if (word == u"pm" || word == u"p")
        return 2;
    return 0;
}

// Finds and consumes the time part; nullopt when the text has a malformed
// one, -1 seconds when there is none.
std::optional<int> takeTime(std::vector<Token>& tokens)
{
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Token::Number)
            continue;
        const bool colon = i + 1 < tokens.size() && tokens[i + 1].kind == Token::Colon;
        const bool meridiemNext = i + 1 < tokens.size() && tokens[i + 1].kind == Token::Word &&
                                  meridiemOf(tokens[i + 1].word) != 0;
        if (!colon && !meridiemNext)
            continue;
        int parts[3] = {tokens[i].value, 0, 0};
        tokens[i].used = true;
        size_t j = i + 1;
        int count = 1;
        while (count < 3 && j + 1 < tokens.size() && tokens[j].kind == Token::Colon &&
               tokens[j + 1].kind == Token::Number) {
            tokens[j].used = tokens[j + 1].used = true;
            parts[count++] = tokens[j + 1].value;
            j += 2;
        }
        if (j < tokens.size() && tokens[j].kind == Token::Colon)
            return std::nullopt; // dangling ':'
        int meridiem = 0;
        if (j < tokens.size() && tokens[j].kind == Token::Word && meridiemOf(tokens[j].word) != 0) {
            meridiem = meridiemOf(tokens[j].word);
            tokens[j].used = true;
        }
        int hour = parts[0];
        if (parts[1] > 59 || parts[2] > 59)
            return std::nullopt;
        if (meridiem != 0) {
            if (hour > 12)
                return std::nullopt;
            hour = hour % 12 + (meridiem == 2 ? 12 : 0);
        } else if (hour > 23) {
            return std::nullopt;
        }
        return hour * 3600 + parts[1] * 60 + parts[2];
    }
    return -1;
}

int yearOf(const Token& t)
{
    if (t.digits <= 2)
        return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

std::optional<long long> civilDay(int year, int month, int day)
{
    if (!isValidCivilDate(year, month, day))
        return std::nullopt;
    return daysFromCivil(year, month, day);
}

// The date part from the unused tokens; nullopt when malformed, and
// `present` false when there is no date at all.
std::optional<long long> takeDate(std::vector<Token>& tokens, int currentYear, bool& present)
{
    std::vector<Token> numbers;
    int month = 0;
    for (Token& t : tokens) {
        if (t.used || t.kind == Token::Separator)
            continue;
        if (t.kind == Token::Colon)
            return std::nullopt;
        if (t.kind == Token::Number) {
            numbers.push_back(t);
        } else if (const int m = monthFromWord(t.word)) {
            if (month != 0)
                return std::nullopt;
            month = m;
        } else if (!isWeekdayWord(t.word)) {
            return std::nullopt;
        }
    }
    present = month != 0 || !numbers.empty();
    if (!present)
        return 0;
    if (month != 0) {
        // "Dec 6, 2026", "6 December 2026", "December 2026", "Dec 6".
        if (numbers.size() == 2) {
            const Token& a = numbers[0];
            const Token& b = numbers[1];
            if (a.digits > 2 || a.value > 31)
                return civilDay(yearOf(a), month, b.value);
            return civilDay(yearOf(b), month, a.value);
        }
        if (numbers.size() == 1) {
            const Token& a = numbers[0];
            if (a.digits > 2 || a.value > 31)
                return civilDay(yearOf(a), month, 1);
            return civilDay(currentYear, month, a.value);
        }
        return std::nullopt;
    }
    if (numbers.size() == 3) {
        const Token& a = numbers[0];
        const Token& b = numbers[1];
        const Token& c = numbers[2];
        if (a.digits > 2)
            return civilDay(yearOf(a), b.value, c.value);
        if (auto d = civilDay(yearOf(c), a.value, b.value))
            return d;
        if (auto d = civilDay(yearOf(c), b.value, a.value))
            return d;
        return civilDay(yearOf(a), b.value, c.value);
    }
    if (numbers.size() == 2) {
        const Token& a = numbers[0];
        const Token& b = numbers[1];
        if (a.digits > 2)
            return civilDay(yearOf(a), b.value, 1);
        if (b.digits > 2 || b.value > 31)
            return civilDay(yearOf(b), a.value, 1);
        if (auto d = civilDay(currentYear, a.value, b.value))
            return d;
        return civilDay(currentYear, b.value, a.value);
    }
    return std::nullopt;
}

} // namespace

std::optional<double> parseDateText(TextView text, int currentYear)
{
    auto tokens = tokenize(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    const std::optional<int> seconds = takeTime(*tokens);
    if (!seconds)
        return std::nullopt;
    bool datePresent = false;
    const std::optional<long long> day = takeDate(*tokens, currentYear, datePresent);
    if (!day || (!datePresent && *seconds < 0))
        return std::nullopt;
    return composeDate(*day, *seconds < 0 ? 0.0 : static_cast<double>(*seconds));
}

std::optional<double> parseDateText(TextView text)
{
    return parseDateText(text, localYear());
}

} // namespace quillet::script
