// Escape and Unescape: %XX for code units below 256, %uXXXX above, except
// letters, digits and @*_+-./ which stay as they are.
#pragma once

#include "common/text.h"

namespace quillet::script {

Text escapeText(TextView text);
// Malformed % sequences are kept literally.
Text unescapeText(TextView text);

} // namespace quillet::script
