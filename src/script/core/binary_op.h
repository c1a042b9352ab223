// Binary operators as the machine applies them: the common cases (whole
// numbers, Doubles, appending to a String held once) without going through
// the general Variant rules of operators.h.
#pragma once

#include "script/core/ast.h"
#include "script/value.h"

namespace quillet::script {

// `left` may be consumed (Concat appends to it in place).
Value applyBinary(Op op, Value& left, const Value& right, bool leftLiteral, bool rightLiteral);

} // namespace quillet::script
