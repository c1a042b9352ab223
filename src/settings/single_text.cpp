#include "settings/single_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace quillet {

namespace {

constexpr int kDigits = 7;

} // namespace

Text singleText(float value)
{
    if (!std::isfinite(value) || value == 0.0f)
        return u"0";

    // "d.dddddde+XX": the value rounded to 7 significant digits.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::scientific, kDigits - 1);
    const std::string sci(buffer, result.ptr);
    const size_t e = sci.find('e');
    const bool negative = sci[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i)
        if (sci[i] != '.')
            digits += sci[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(sci.c_str() + e + 1);

    std::string out = negative ? "-" : "";
    const int decimals = static_cast<int>(digits.size()) - 1 - exponent;
    if (exponent < kDigits && decimals <= kDigits) {
        if (exponent < 0) {
            out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        } else if (decimals <= 0) {
            out += digits + std::string(static_cast<size_t>(-decimals), '0');
        } else {
            out += digits.substr(0, static_cast<size_t>(exponent + 1)) + "." + digits.substr(static_cast<size_t>(exponent + 1));
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        const int magnitude = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
    }
    return fromAscii(out);
}

} // namespace quillet
