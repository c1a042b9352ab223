// quillet-print's messages on standard error: each line gets the
// program's name (so that none passes for a log line) and shows its control
// characters by name.
#pragma once

#include "common/text.h"

namespace quillet {

void printMessage(const Text& text);

} // namespace quillet
