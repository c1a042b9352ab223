// How VBScript writes a floating-point number as text (CStr, string
// concatenation, WScript.Echo): the shortest form that shows the value to
// 15 significant digits (7 for a Single), fixed-point while that needs no
// more than that many digits after the decimal point and the value is
// below 1E+15 (1E+7 for a Single), scientific otherwise.
#pragma once

#include "common/text.h"

namespace quillet::script {

// 0.1 -> "0.1", -0.5 -> "-0.5", 1E+20 -> "1E+20", 1E15 -> "1E+15",
// 1E14 -> "100000000000000", 1/30 -> "3.33333333333333E-02".
Text numberToText(double value);

// The same rules with 7 significant digits: 1/3 -> "0.3333333".
Text singleToText(float value);

// The decimal digits and exponent of |value| rounded to `precision`
// significant digits, trailing zeros removed: 1234.5 -> {"12345", 3}.
// Zero gives {"0", 0}.  Shared with the number formatting functions.
struct DecimalDigits {
    std::string digits;
    int exponent = 0; // value = 0.d1d2d3... * 10^(exponent + 1)
};
DecimalDigits decimalDigits(double value, int precision);

} // namespace quillet::script
