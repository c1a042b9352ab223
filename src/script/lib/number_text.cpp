#include "script/lib/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillet::script {

DecimalDigits decimalDigits(double value, int precision)
{
    DecimalDigits out;
    if (value == 0.0 || !std::isfinite(value)) {
        out.digits = "0";
        return out;
    }
    // %.*e rounds correctly to the requested number of digits; we only
    // have to pick the mantissa digits and the exponent apart.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            out.digits.push_back(*p);
    out.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (out.digits.size() > 1 && out.digits.back() == '0')
        out.digits.pop_back();
    return out;
}

namespace {

Text formatDigits(double value, int precision)
{
    if (std::isnan(value))
        return u"-1.#IND";
    if (std::isinf(value))
        return value < 0 ? u"-1.#INF" : u"1.#INF";
    const DecimalDigits d = decimalDigits(value, precision);
    if (d.digits == "0")
        return u"0"; // also -0: VBScript never shows a negative zero
    std::string s = value < 0 ? "-" : "";
    const int count = static_cast<int>(d.digits.size());
    const int decimalsNeeded = count - 1 - d.exponent;
    if (d.exponent >= precision || decimalsNeeded > precision) {
        s += d.digits[0];
        if (count > 1)
            s += "." + d.digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        s += exp;
    } else if (d.exponent < 0) {
        s += "0." + std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
    } else if (count <= d.exponent + 1) {
        s += d.digits + std::string(static_cast<size_t>(d.exponent + 1 - count), '0');
    } else {
        s += d.digits.substr(0, d.exponent + 1) + "." + d.digits.substr(d.exponent + 1);
    }
    return fromAscii(s);
}

} // namespace

Text numberToText(double value) { return formatDigits(value, 15); }

Text singleToText(float value) { return formatDigits(static_cast<double>(value), 7); }

} // namespace quillet::script
