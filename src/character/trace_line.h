// The character object reports its creation and destruction here.  Those
// texts are deliberately discarded: they appear in no log outlet whatever
// the settings, but the call sites stay so a developer can hook them up.
#pragma once

#include "common/text.h"

namespace quillet {

void TraceLine(const Text& text);

} // namespace quillet
