// Builds the tree of one code unit from its tokens.  Names are collected
// per procedure and resolved later (Runtime::compile, runtime.h), once every
// declaration of the unit is known: VBScript lets code use a procedure or a
// global variable declared further down.
#pragma once

#include "script/core/ast.h"
#include "script/core/lexer.h"

namespace quillet::script {

enum class ParseMode : uint8_t {
    Program,    // AddCode / ExecuteGlobal: declarations and statements
    Statements, // Execute inside a procedure: statements only
    Expression, // Eval: one expression
};

// Parses `unit.source` into `unit`.  Throws CompileError.
void parseUnit(CodeUnit& unit, ParseMode mode);

} // namespace quillet::script
