// FormatNumber, FormatCurrency and FormatPercent in a fixed en-US locale:
// "," groups thousands, "." is the decimal point, "$" leads currency,
// negative currency is shown in parentheses unless told otherwise.
#pragma once

#include "common/text.h"

namespace quillet::script {

// A script's tristate argument: -1 true, 0 false, -2 "use the default".
enum class Tristate { True = -1, False = 0, UseDefault = -2 };
Tristate tristateFrom(int value); // error 5 for anything else

struct NumberFormat {
    int digitsAfterDecimal = 2;   // 0..255
    bool leadingDigit = true;     // "0.5" rather than ".5"
    bool parensForNegative = false;
    bool groupDigits = true;
};

// The options a script passed (digits -1 and tristates UseDefault take the
// locale's values, which differ for currency).
NumberFormat numberFormatFrom(int digits, Tristate leading, Tristate parens, Tristate group, bool currency);

enum class NumberStyle { Plain, Currency, Percent };
// Rounds halves away from zero at the requested digit (after taking the
// value to 15 significant digits, as the conversion to text does).
Text formatNumber(double value, const NumberFormat& format, NumberStyle style = NumberStyle::Plain);

} // namespace quillet::script
