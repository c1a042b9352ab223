// The decimal text of a single-precision number as the settings file holds
// window measures: at most 7 significant digits, no trailing zeros, no
// decimal point for whole numbers (960 -> "960", 1200.5 -> "1200.5");
// scientific form ("1.5E+07", "1E-09") when the fixed form would need
// more than 7 digits before or after the decimal point.
#pragma once

#include "common/text.h"

namespace quillet {

// Infinities and NaN, which no window measure can be, are written as "0".
Text singleText(float value);

} // namespace quillet
