#include "script/lib/number_format.h"

#include "common/vb_error.h"
#include "script/lib/number_text.h"

#include <string>

namespace quillet::script {

Tristate tristateFrom(int value)
{
    switch (value) {
    case -1: return Tristate::True;
    case 0: return Tristate::False;
    case -2: return Tristate::UseDefault;
    default: throw VbError(vberr::InvalidCall);
    }
}

NumberFormat numberFormatFrom(int digits, Tristate leading, Tristate parens, Tristate group, bool currency)
{
    if (digits < -1 || digits > 255)
        throw VbError(vberr::InvalidCall);
    NumberFormat f;
    f.digitsAfterDecimal = digits == -1 ? 2 : digits;
    f.leadingDigit = leading != Tristate::False;
    f.parensForNegative = parens == Tristate::UseDefault ? currency : parens == Tristate::True;
    f.groupDigits = group != Tristate::False;
    return f;
}

namespace {

// Whole and fraction digits of |value| rounded to `decimals` places.
void roundedParts(double value, int decimals, std::string& whole, std::string& fraction)
{
    const DecimalDigits d = decimalDigits(value, 15);
    const int len = static_cast<int>(d.digits.size());
    const int point = d.digits == "0" ? 1 : d.exponent + 1; // digits before the point
    if (point <= 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-point), '0') + d.digits;
    } else if (point >= len) {
        whole = d.digits + std::string(static_cast<size_t>(point - len), '0');
        fraction.clear();
    } else {
        whole = d.digits.substr(0, point);
        fraction = d.digits.substr(point);
    }
    bool carry = false;
    if (static_cast<int>(fraction.size()) > decimals) {
        carry = fraction[decimals] >= '5';
        fraction.resize(decimals);
    }
    fraction.resize(decimals, '0');
    for (int i = decimals - 1; carry && i >= 0; --i) {
        if (fraction[i] == '9') {
            fraction[i] = '0';
        } else {
            ++fraction[i];
            carry = false;
        }
    }
    for (int i = static_cast<int>(whole.size()) - 1; carry && i >= 0; --i) {
        if (whole[i] == '9') {
            whole[i] = '0';
        } else {
            ++whole[i];
            carry = false;
        }
    }
    if (carry)
        whole.insert(whole.begin(), '1');
}

std::string grouped(const std::string& whole)
{
    std::string out;
    const size_t n = whole.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.push_back(',');
        out.push_back(whole[i]);
    }
    return out;
}

} // namespace

Text formatNumber(double value, const NumberFormat& format, NumberStyle style)
{
    if (style == NumberStyle::Percent)
        value *= 100.0;
    std::string whole, fraction;
    roundedParts(value, format.digitsAfterDecimal, whole, fraction);
    const bool negative = value < 0 && (whole.find_first_not_of('0') != std::string::npos ||
                                        fraction.find_first_not_of('0') != std::string::npos);
    std::string body;
    if (whole == "0" && !format.leadingDigit && !fraction.empty())
        body.clear();
    else
        body = format.groupDigits ? grouped(whole) : whole;
    if (!fraction.empty())
        body += "." + fraction;
    if (style == NumberStyle::Currency)
        body = "$" + body;
    else if (style == NumberStyle::Percent)
        body += "%";
    if (negative)
        body = format.parensForNegative ? "(" + body + ")" : "-" + body;
    return fromAscii(body);
}

} // namespace quillet::script
