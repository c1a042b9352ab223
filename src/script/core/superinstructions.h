// Superinstructions: once a body is compiled, the commonest sequences of
// array element access are marked so that the machine runs each as one
// step.  Only the first instruction of a sequence changes, to an opcode
// that does the whole sequence's work when the values allow it (a plain
// array variable, whole-number subscripts in range) and otherwise does
// exactly what the instruction it replaced did, going on with the rest of
// the sequence, which is still there.  So jump targets, the statement
// table and error positions stay as they were.
#pragma once

#include "script/core/code.h"

namespace quillet::script {

// Marks the sequences in `code`:
//   GlobalPrep x; (ArgLocal | ArgName) i...; GlobalCall x     reading x(i, ...)
//     -> ElementRead
//   LoadCallee x; (LoadLocal | LoadGlobal) i...; Index                 reading x(i, ...)
//     -> CalleeElementRead
//   IndexedPrep x; (LoadLocal | LoadGlobal) i...; StoreIndexed x   x(i, ...) = value
//     -> ElementWrite
// A sequence is left alone when a jump, a statement or a resume point
// starts inside it.
void fuseElementAccess(Code& code);

// Marks the commonest operator statements and calls the same way (after
// fuseElementAccess, whose marks some of these extend):
//   (LocalBinary | GlobalBinary) comparing; (JumpIfFalse | JumpIfTrue)
//     -> LocalCompareJump / GlobalCompareJump (b of the jump unused), and
//        LocalConstCompareJump for a local against a whole-number
//        constant (its value in a, its index in the b of the jump)
//   (LoadLocal | LoadGlobal) x; (LocalBinary | GlobalBinary) y op z; Binary op2;
//   [BinaryConst op3 c]; (StoreLocal | StoreGlobal) x             x = x op2 (y op z) [op3 c]
//     -> UpdateLocal / UpdateGlobal, the index of its UpdateSite in b (constants all numbers)
//   (LocalBinary | GlobalBinary) y op z, arithmetic; (StoreLocal | StoreGlobal) x
//                                                                 x = y op z
//     -> LocalBinaryStore / GlobalBinaryStore
//   (LocalBinary | GlobalBinary) y op1 z; (BinaryConst | BinaryLocal | BinaryGlobal) op2 w,
//   both arithmetic; (StoreLocal | StoreGlobal) x                x = y op1 z op2 w
//     -> LocalChainStore / GlobalChainStore, the index of its ChainSite in a
//        (constants all numbers, globals bound)
//   (Binary | BinaryConst), arithmetic; (StoreLocal | StoreGlobal) x
//                                                                 x = ... op ...
//     -> BinaryStore / BinaryConstStore (a global target bound)
//   LoadLocal v; (StoreLocal | StoreGlobal) x                     x = v
//     -> LocalCopy (a global target bound)
//   PushConst c (no object); AssignValue (Let); ElementWrite ...  x(i, ...) = c
//     -> ConstElementWrite; with one subscript, the array and it both
//        globals or both locals, and a constant that is no text or object:
//        ConstElementWriteGlobal / ConstElementWriteLocal (the array's slot in b)
//   (ElementRead | CalleeElementRead) ...; (JumpIfFalse | JumpIfTrue)
//                                                                 If x(i, ...) Then
//     -> ElementReadJump / CalleeElementReadJump; with one subscript, a
//        global one of a global array: ElementReadJumpGlobal, a local one
//        of a local array: CalleeElementReadJumpLocal
//   ElementWrite of two subscripts, the array and both subscripts bound
//   globals or all locals                                         x(i, j) = value
//     -> ElementWriteTwoGlobal / ElementWriteTwoLocal (the array's slot in a)
//   (LoadGlobal | LoadLocal) x; (ElementRead | CalleeElementRead) of two
//   subscripts ...; Binary op, arithmetic; (StoreGlobal | StoreLocal) x,
//   x, the array and the subscripts all bound globals or all locals
//                                                                 x = x op a(i, j)
//     -> ElementUpdateGlobal / ElementUpdateLocal (the array's slot in b)
//   GlobalPrep f; (PushConst | ArgLocal | ArgName | LocalBinary | GlobalBinary)...;
//   GlobalCall f                                                  f(args)
//     -> DirectCall, where its DirectArg records start in b
//   ForNext of a counter that is a Local name or a bound Global one
//     -> ForNextLocal / ForNextGlobal (ForNextLocalUp / ForNextGlobalUp for a
//        loop without Step), the counter's place in its ForLoopInfo
// A sequence is left alone when a jump, a statement or a resume point
// starts inside it.
void fuseOperators(Code& code);

} // namespace quillet::script
