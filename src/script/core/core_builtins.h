// The builtins that need the engine itself rather than a value library:
// Eval, Execute, ExecuteGlobal, GetRef, IsObject, and the sandboxed
// CreateObject and GetObject.
#pragma once

#include "script/builtins.h"

namespace quillet::script {

void registerCoreBuiltins(BuiltinRegistry& registry);

} // namespace quillet::script
