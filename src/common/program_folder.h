// The folder of the running executable, ending in "/": the program folder
// where the bundled sheet, the sample characters and the settings live.
#pragma once

#include "common/text.h"

namespace quillet {

Text programFolder();

} // namespace quillet
