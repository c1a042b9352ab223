// Turns a procedure's resolved syntax tree into flat code (code.h).
#pragma once

#include "script/core/ast.h"
#include "script/core/code.h"

#include <memory>

namespace quillet::script {

// The body of `proc`, whose names are already resolved.  Adds the hidden
// locals its For and Select statements keep their state in.
std::unique_ptr<Code> compileBody(Procedure& proc);

// Code that leaves the value of `e` (an Eval expression) on the stack.
std::unique_ptr<Code> compileExpression(Procedure& proc, const Expr& e);

} // namespace quillet::script
