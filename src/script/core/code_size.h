// What compiled code costs in memory, for charging it to the session's
// meter: a script that keeps generating and executing new code must meet
// the memory limit like one that keeps building strings.
#pragma once

#include "script/core/ast.h"

#include <cstddef>

namespace quillet::script {

// Charged for a source text before it is parsed: about what the tokens
// and the syntax tree take at their peak, which is more than the code
// kept in the end.
size_t compilingBytes(size_t sourceLength);

// The heap a compiled unit keeps: its source and lines, procedures and
// classes with their tables, and their code.  An estimate from sizes and
// capacities; the texts of constants are not included, as string values
// charge their own buffers.
size_t compiledUnitBytes(const CodeUnit& unit);

} // namespace quillet::script
