// The versions of the whole-statement update `x = x op2 (y op1 z) [op3 c]`
// (UpdateLocal, UpdateGlobal) that the machine runs: one built for each
// common set of operators (a variable plus or minus `y op1 z`, optionally
// `Mod c`), with z a variable or a constant, and the general one for every
// other.
//
// A built version knows its operators when it is compiled, so it has no
// operator switch: when x, y, z (and c) are Integers or Longs it computes
// in int64 and decides the result's type once from the operands' types and
// the steps' ranges; when the first step divides, or y or z is a Double,
// it computes in doubles.  Anything else (a step leaving the Long range, a
// result that is not finite, a mix the two paths do not cover, an operand
// of any other type) goes to the general version, which applies the
// operators one at a time through applyInline, so every result is exactly
// what that gives.
#pragma once

#include "script/core/code.h"

namespace quillet::script {

// The version for `site`'s operators and constants (the general one when
// no built version fits them); settles the site's constantBits and zReal
// for it.
UpdateFn updateFunction(UpdateSite& site);

// The general version, for sites with no built version.
bool updateGeneral(const UpdateSite& site, Value* locals);

// The same for `x = y op1 z op2 w` (LocalChainStore, GlobalChainStore):
// built versions for op1 and op2 each + - * or /, which compute whole
// numbers in int64 deciding the Integer/Long result once and anything with
// a Double or a division in doubles; the general version, applyInline step
// by step, for the other operators and whatever the built ones leave.
ChainFn chainFunction(const ChainSite& site);
bool chainGeneral(const ChainSite& site, Value* locals);

} // namespace quillet::script
