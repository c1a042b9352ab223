// Number rules shared by the character file reader, the print object and
// the script engine, so that a value is converted the same way everywhere.
#pragma once

#include "common/text.h"

#include <cstdint>
#include <optional>

namespace quillet {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4),
// as VBScript's CInt and CLng round.  NaN is an overflow.
double roundHalfEven(double value);

// Rounded into the target's range; error 6 "Overflow" when out of range.
int16_t toInt16(double value);
int32_t toInt32(double value);
uint8_t toByte(double value);

// The leading number of a text, as VBScript's Val reads it: blanks, TABs
// and line feeds are skipped wherever they stand; then an optional sign,
// digits, "." and further digits, and an exponent (E or D, optional sign,
// digits), up to the first character that does not fit.  A text starting
// with &H or &O is a hexadecimal or octal whole number (16-bit when it fits
// in four hex or six octal digits, 32-bit otherwise, both signed).  A text
// without a number gives 0.  A value too large for a double is error 6.
double leadingNumber(TextView text);

// Parses a whole text as a number the way VBScript's implicit conversion
// (CDbl, CLng, CCur, IsNumeric, arithmetic and comparisons on strings) does
// under en-US settings; nullopt when the text is not numeric.  Accepted:
// blanks (space, TAB, CR, LF) around the number and between its marks;
// one sign, leading or trailing ("-5", "5-", "+5"); a leading "$";
// parentheses for a negative number ("(5)", "($5)", "$(5)"), never with a
// sign; thousands separators anywhere in the whole part after its first
// digit ("1,000", "1,2,3" = 123); a fraction and an exponent (E or D).
// &H and &O numbers stand alone.  A value beyond a double is error 6.
// Val's reading (leadingNumber) is a different, older rule and accepts none
// of the marks.
std::optional<double> parseNumericText(TextView text);

// Fixed-point currency with four decimal places, held as a 64-bit count of
// ten-thousandths.
class Currency {
public:
    static constexpr int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromTicks(int64_t ticks) { return Currency(ticks); }
    // Rounds to the nearest ten-thousandth, halves to even; error 6 when
    // out of range (about +-922,337,203,685,477.5807).
    static Currency fromDouble(double value);

    constexpr int64_t ticks() const { return ticks_; }
    double toDouble() const { return static_cast<double>(ticks_) / kScale; }
    // "15.5", "-3", "0.0001": no trailing zeros, no blank before the sign.
    Text toText() const;

    friend constexpr bool operator==(Currency a, Currency b) { return a.ticks_ == b.ticks_; }
    friend constexpr auto operator<=>(Currency a, Currency b) { return a.ticks_ <=> b.ticks_; }

private:
    constexpr explicit Currency(int64_t ticks) : ticks_(ticks) {}
    int64_t ticks_ = 0;
};

} // namespace quillet
