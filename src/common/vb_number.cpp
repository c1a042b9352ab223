#include "common/vb_number.h"

#include "common/vb_error.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace quillet {

double roundHalfEven(double value)
{
    // std::nearbyint rounds in the current mode, which is round-to-nearest
    // (ties to even) unless someone changed it; do it explicitly instead.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

template <typename Int>
Int roundInto(double value)
{
    if (std::isnan(value))
        throw VbError(vberr::Overflow);
    const double r = roundHalfEven(value);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        throw VbError(vberr::Overflow);
    return static_cast<Int>(r);
}

bool isSkippedBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 99;
}

// &H / &O whole number starting after the prefix; stops at the first
// character that is not a digit of the base.  Blanks are skipped when
// `skipBlanks` (Val does so, implicit conversion does not).
double radixNumber(TextView text, size_t& i, int base, bool skipBlanks)
{
    uint64_t value = 0;
    int digits = 0;
    for (; i < text.size(); ++i) {
        if (skipBlanks && isSkippedBlank(text[i]))
            continue;
        const int d = digitValue(text[i]);
        if (d >= base)
            break;
        if (value == 0 && d == 0)
            continue; // leading zeros do not count towards the width
        value = value * base + d;
        ++digits;
        if (value > 0xFFFFFFFFull)
            throw VbError(vberr::Overflow);
    }
    const bool narrow = base == 16 ? digits <= 4 && value <= 0xFFFF : value <= 0xFFFF && digits <= 6;
    if (narrow)
        return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

// The exponent after a mantissa (E or D, an optional sign, digits), added
// to `out` as "e..." and moved past only when at least one digit follows.
void appendExponent(TextView text, size_t& i, bool skipBlanks, std::string& out)
{
    auto skipFrom = [&](size_t& k) {
        while (skipBlanks && k < text.size() && isSkippedBlank(text[k]))
            ++k;
    };
    skipFrom(i);
    if (i >= text.size() || !(text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D'))
        return;
    size_t j = i + 1;
    std::string exp = "e";
    skipFrom(j);
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
        exp.push_back(static_cast<char>(text[j++]));
    int expDigits = 0;
    for (;;) {
        skipFrom(j);
        if (j >= text.size() || text[j] < u'0' || text[j] > u'9')
            break;
        exp.push_back(static_cast<char>(text[j++]));
        ++expDigits;
    }
    if (expDigits > 0) {
        out += exp;
        i = j;
    }
}

// Collects the decimal number starting at text[i] into ASCII as Val reads
// it, blanks anywhere in it skipped.  Returns the number of mantissa digits
// seen.
int collectDecimal(TextView text, size_t& i, std::string& out)
{
    auto skip = [&] {
        while (i < text.size() && isSkippedBlank(text[i]))
            ++i;
    };
    skip();
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        out.push_back(static_cast<char>(text[i]));
        ++i;
    }
    int digits = 0;
    bool seenPoint = false;
    for (;;) {
        skip();
        if (i >= text.size())
            break;
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            out.push_back(static_cast<char>(c));
            ++digits;
        } else if (c == u'.' && !seenPoint) {
            out.push_back('.');
            seenPoint = true;
        } else {
            break;
        }
        ++i;
    }
    if (digits == 0)
        return 0;
    appendExponent(text, i, true, out);
    return digits;
}

// `ascii` (made by collectDecimal or groupedDecimal: an optional sign,
// digits with at most one point, an optional exponent) as a double.
// from_chars rounds as strtod does, to the nearest double, and is several
// times faster; it takes no '+', and what lies past a double's range, too
// large or too small, is left to strtod, whose results there we keep.
double toDoubleChecked(const std::string& ascii)
{
    const char* begin = ascii.data() + (ascii.starts_with('+') ? 1 : 0);
    const char* end = ascii.data() + ascii.size();
    double v;
    const auto [stop, error] = std::from_chars(begin, end, v);
    if (error != std::errc() || stop != end)
        v = std::strtod(ascii.c_str(), nullptr);
    if (std::isinf(v))
        throw VbError(vberr::Overflow);
    return v;
}

} // namespace

int16_t toInt16(double value) { return roundInto<int16_t>(value); }
int32_t toInt32(double value) { return roundInto<int32_t>(value); }
uint8_t toByte(double value) { return roundInto<uint8_t>(value); }

double leadingNumber(TextView text)
{
    size_t i = 0;
    while (i < text.size() && isSkippedBlank(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == u'&') {
        const char16_t p = text[i + 1];
        if (p == u'h' || p == u'H') {
            i += 2;
            return radixNumber(text, i, 16, true);
        }
        if (p == u'o' || p == u'O') {
            i += 2;
            return radixNumber(text, i, 8, true);
        }
    }
    std::string ascii;
    if (collectDecimal(text, i, ascii) == 0)
        return 0.0;
    return toDoubleChecked(ascii);
}

namespace {

bool isNumericBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The marks that may stand around the digits of a numeric text, as the
// en-US settings write numbers and amounts: "-5", "5-", "$5", "($5.00)".
struct NumberMarks {
    char16_t sign = 0; // '+' or '-', leading or trailing, at most one
    bool currency = false;
    bool openParen = false;
    bool closeParen = false;
};

// Reads the marks on one side of the digits, from t[i] on, and returns
// where they end: blanks and one sign on either side ("5-" is how some
// settings write -5); before the digits one "$" and one "(", in any order,
// so "-$5", "$-5", "$(5)" and "($5)" all read; after them the ")" that
// closes a "(".
size_t readMarks(TextView t, size_t i, NumberMarks& marks, bool beforeDigits)
{
    for (; i < t.size(); ++i) {
        const char16_t c = t[i];
        if (isNumericBlank(c))
            continue;
        if ((c == u'+' || c == u'-') && marks.sign == 0)
            marks.sign = c;
        else if (beforeDigits && c == u'$' && !marks.currency)
            marks.currency = true;
        else if (beforeDigits && c == u'(' && !marks.openParen)
            marks.openParen = true;
        else if (!beforeDigits && c == u')' && marks.openParen && !marks.closeParen)
            marks.closeParen = true;
        else
            break;
    }
    return i;
}

// The digits of a decimal number into ASCII for strtod: a whole part in
// which thousands separators are dropped, an optional fraction and an
// optional exponent (E or D, only when digits follow it).  The separators
// are not checked against groups of three: VBScript reads "1,2,3" as 123,
// and so do we; but one must follow a digit (",5" is no number) and none
// may stand in the fraction.  Returns false without a
// mantissa digit.
bool groupedDecimal(TextView t, size_t& i, std::string& out)
{
    int digits = 0;
    for (; i < t.size(); ++i) {
        if (t[i] >= u'0' && t[i] <= u'9') {
            out.push_back(static_cast<char>(t[i]));
            ++digits;
        } else if (t[i] != u',' || digits == 0) {
            break;
        }
    }
    if (i < t.size() && t[i] == u'.') {
        out.push_back('.');
        for (++i; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            out.push_back(static_cast<char>(t[i]));
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    appendExponent(t, i, false, out);
    return true;
}

} // namespace

std::optional<double> parseNumericText(TextView text)
{
    size_t b = 0, e = text.size();
    while (b < e && isNumericBlank(text[b]))
        ++b;
    while (e > b && isNumericBlank(text[e - 1]))
        --e;
    const TextView t = text.substr(b, e - b);
    if (t.empty())
        return std::nullopt;

    // &H and &O stand alone: no sign, currency or parentheses around them.
    if (t.size() >= 2 && t[0] == u'&' && (t[1] == u'h' || t[1] == u'H' || t[1] == u'o' || t[1] == u'O')) {
        size_t i = 2;
        if (i >= t.size())
            return std::nullopt;
        const int base = (t[1] == u'h' || t[1] == u'H') ? 16 : 8;
        const double value = radixNumber(t, i, base, false);
        if (i != t.size())
            return std::nullopt;
        return value;
    }

    NumberMarks marks;
    size_t i = readMarks(t, 0, marks, true);
    std::string ascii;
    if (!groupedDecimal(t, i, ascii) || readMarks(t, i, marks, false) != t.size())
        return std::nullopt;
    // "(5" and "5)" are unbalanced; "(-5)" would say negative twice, which
    // no setting writes, so a sign and parentheses exclude each other.
    if (marks.openParen != marks.closeParen || (marks.openParen && marks.sign != 0))
        return std::nullopt;
    const double value = toDoubleChecked(ascii);
    return marks.sign == u'-' || marks.openParen ? -value : value;
}

Currency Currency::fromDouble(double value)
{
    if (std::isnan(value))
        throw VbError(vberr::Overflow);
    const double scaled = roundHalfEven(value * kScale);
    // 2^63 is exactly representable; anything at or beyond it overflows.
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0)
        throw VbError(vberr::Overflow);
    return Currency(static_cast<int64_t>(scaled));
}

Text Currency::toText() const
{
    const bool negative = ticks_ < 0;
    // Work in unsigned to survive the most negative value.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ticks_) : static_cast<uint64_t>(ticks_);
    std::string s = std::to_string(magnitude / kScale);
    uint64_t frac = magnitude % kScale;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += "." + f;
    }
    return fromAscii(negative ? "-" + s : s);
}

} // namespace quillet
