// VBScript's operators on Values: result subtypes (Integer promoting to
// Long and Double on overflow, Currency and Date arithmetic), Null
// propagation, string concatenation and the comparison rules for mixed
// numbers and strings.
#pragma once

#include "script/core/ast.h"
#include "script/value.h"

#include <optional>

namespace quillet::script {

// Arithmetic, logical and concatenation operators (not comparisons).
Value binaryOp(Op op, const Value& left, const Value& right);
Value unaryOp(Op op, const Value& operand);

// -1, 0 or 1; nullopt when either side is Null.  `leftLiteral` /
// `rightLiteral` say whether a side was written as a literal constant: a
// number literal compared with a string converts the string to a number
// (and a string literal makes the number text), whereas two variables
// compare any number as less than any string.
std::optional<int> compareValues(const Value& left, const Value& right, bool leftLiteral, bool rightLiteral);

// A comparison operator's result: Boolean, or Null.
Value comparisonOp(Op op, const Value& left, const Value& right, bool leftLiteral, bool rightLiteral);

// The `Is` operator: both sides must be objects (or Nothing).
bool sameObject(const Value& left, const Value& right);

// The truth of a condition (If, While, Until): Null counts as False.
bool conditionTrue(const Value& value);

} // namespace quillet::script
