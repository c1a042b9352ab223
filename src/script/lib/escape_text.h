// Escape and Unescape: %XX for code units below 256, %uXXXX above, except
// letters, digits and @*_+-./ which stay as they are.
#pragma once

#include "common/text.h"

namespace quillet::script {

// A result longer than `maxLength` is error 7 (Out of memory).
Text escapeText(TextView text, size_t maxLength = TextView::npos);
// Malformed % sequences are kept literally.
Text unescapeText(TextView text);

} // namespace quillet::script
