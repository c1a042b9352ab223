// `quillet-print --dump FILE`: reads a character file and prints what the
// reader made of it as JSON.
#pragma once

#include "common/text.h"

#include <iosfwd>

namespace quillet {

// Exit status: 0 when the read completed, 2 when it was refused or failed.
int runDumpCommand(const Text& homePath, const Text& characterFile, std::ostream& out);

} // namespace quillet
