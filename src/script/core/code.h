// The executable form of one procedure body (or a top level, or an Eval
// expression): flat instructions for a stack machine, with side tables.
// Control flow is jumps; the statement table maps every instruction back to
// the statement it came from, for error positions and for where On Error
// Resume Next continues.
//
// Stack notation below: [a][b] means b on top.  "args" are `b` values;
// an argument passed by reference is a Ref value pointing at the variable
// or array element.  A "mode" value says how a call whose callee is only
// known at run time takes its arguments: bit 0 set for by reference.
#pragma once

#include "script/builtins.h"
#include "script/core/inline_number.h"
#include "script/host_object.h"
#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet::script {

struct GlobalEntry; // runtime.h: one global's kind and value

// What a name turned out to mean.
enum class NameKind : uint8_t {
    Unresolved,
    Local,       // slot in the procedure's frame
    OuterLocal,  // slot in the frame that ran Execute/Eval
    OuterExecuted, // variable declared by code Execute ran in that frame (its number there)
    Global,      // slot in the global table (variable, constant, procedure, named object)
    Field,       // field of Me
    ClassMember, // property or method of Me (member number)
    Constant,    // folded constant value
    Builtin,     // builtin function
    HostMember,  // member of a named object registered with global members
};

// A name as the code uses it, resolved.  The compiler copies names out of
// the syntax tree, so that the tree can go once the code is made.
struct NameRef {
    NameKind kind = NameKind::Unresolved;
    int slot = -1;                       // Local, OuterLocal, OuterExecuted, Global, Field, ClassMember, HostMember (object)
    int member = -1;                     // HostMember: member number
    const BuiltinEntry* builtin = nullptr;
    Value constant;                      // Constant
    // Global: the runtime's entry for `slot`, bound once the code is made
    // (entries never move), so that the machine reads it without looking
    // it up.  Null until then.
    GlobalEntry* global = nullptr;
};

// Per-call-site cache of a host member look-up.
struct MemberCache {
    const void* table = nullptr;
    int member = kNoMember;
};

// A member call site: the member's name and the look-up it last made.
struct MemberSite {
    Text name;
    mutable MemberCache cache;
};

enum class OpCode : uint8_t {
    // ---- values ------------------------------------------------------------
    PushConst,    // constants[a]
    PushMissing,  // an omitted argument
    PushMe,
    PushWith,     // hidden local a: the innermost With object
    LoadLocal,    // local a
    LoadGlobal,   // the value of names[a], a global
    LoadName,     // the value of names[a] (a variable, constant, or a call without arguments)
    New,          // an object of class classNames[a]
    Unary,        // b: Op
    Binary,       // b: Op; flags: kLeftLiteral / kRightLiteral
    // A binary operator whose right operand is read where it is, not
    // pushed: [left] op constants[a], op local a, op names[a] (a global).
    BinaryConst,  // b, flags: as Binary
    BinaryLocal,
    BinaryGlobal,
    // `x op y` with neither operand pushed: x is local b (LocalBinary) or
    // names[b], a global (GlobalBinary), read as LoadLocal / LoadGlobal
    // would; y is the operand `a` packs (RightOperand).  flags: BinaryFlags,
    // and the Op from bit kBinaryOpShift.
    LocalBinary,
    GlobalBinary,
    Pop,

    // ---- calls -------------------------------------------------------------
    LoadCallee,   // names[a], a variable: a Ref to it when it holds an array and flags (has arguments), else its value
    Index,        // [callee][args]: an element (a Ref callee), or the callee's default member with the args; flags: kEmptyParens
    CallBuiltin,  // [args]: the builtin of names[a]
    CallMethod,   // [args by reference]: member names[a] of Me (a method or property of the class)
    GlobalPrep,   // names[a], a global: push the callee and its mode (a procedure takes arguments by reference)
    GlobalCall,   // [callee][mode][args]: call the procedure of names[a], or index the callee; flags: kEmptyParens
    HostPrep,     // names[a], a member of a named object: push the object and its mode
    HostCall,     // [object][mode][args]
    MemberPrep,   // [object]: look up members[a] on it; push the mode (with the host member found)
    MemberCall,   // [object][mode][args]; flags 1: called on Me (private members allowed)
    ArgLocal,     // local a as an argument: a Ref when the call takes it by reference (flags: ArgFlags)
    ArgName,      // names[a] as an argument: a Ref when the call takes it by reference (flags: ArgFlags)
    // `x(i)` as an argument of a call that may take it by reference
    // (argSites[a]): when x holds an array and the call does take
    // references, a Ref to the element (its array locked until that call
    // ends) instead of the element's value.
    IndexArg,     // [callee][args]: as Index otherwise
    GlobalCallArg, // [callee][mode][args]: as GlobalCall otherwise

    // ---- assignments -------------------------------------------------------
    AssignValue,  // the value to assign on top: flags 1 (Set) requires an object, else takes an object's default value
    StoreLocal,   // pop into local a (Let)
    StoreGlobal,  // pop into names[a], a global (Let)
    StoreName,    // pop into names[a]; flags 1: Set
    StoreMember,  // [value][object][args]: members[a] (flags: 1 Set, 2 on Me)
    IndexedPrep,  // names[a] about to be written at some subscripts: push what it is (a Ref to a variable, an object)
    StoreIndexed, // [value][prepared][args]: names[a](args) = value; flags 1: Set
    TestVariable, // push whether names[a] is a variable (`a(1)(2) = x` then writes into it)
    StoreNested,  // [value][subscripts, innermost first][args]: nested[a]; flags 1: Set
    RequireObject, // the top of the stack must be an object, not Nothing (to assign through)
    StoreDefault, // [value][object][args]: through the object's default member; flags 1: Set
    AppendStart,  // start the frame's text of `s = s & a & b`
    Append,       // [piece]: add it to that text
    AppendConst,  // add constants[a] to that text
    AppendStore,  // names[a] = names[a] & that text, in place when it can

    // ---- declarations ------------------------------------------------------
    ToLong,       // the top of the stack as a Long (array bounds)
    TestFixed,    // push whether names[a] already holds a fixed-size array (Dim runs again)
    DimArray,     // [bounds]: names[a] = a fixed-size array; b bounds, none: a dynamic array
    ReDim,        // [bounds]: b bounds; flags 1: Preserve
    Erase,        // names[a]
    OnError,      // flags 1: Resume Next, 0: GoTo 0
    Fail,         // raise error a

    // ---- control flow ------------------------------------------------------
    Jump,         // to a
    LoopBack,     // to a, after the stop and step-budget check
    CheckStep,    // the stop and step-budget check
    JumpIfFalse,  // pop a condition; to a when false
    JumpIfTrue,   // pop a condition; to a when true
    Return,       // end of the body; flags 1: with the value on top

    // ---- loops and blocks --------------------------------------------------
    ToNumeric,    // the top of the stack as a number (For bounds)
    ForStart,     // forLoops[b]: pop step (flags 1: present), limit, start; to a when the loop does not run
    ForNext,      // forLoops[b]: step the counter; back to a while it is in range
    ForEachStart, // forEachLoops[b]: pop the collection, take the first element; to a when there is none
    ForEachNext,  // forEachLoops[b]: the next element; back to a while there is one
    ForEachEnd,   // release iterator b (Exit For / Exit Do leaving the loop)
    StoreHidden,  // pop into hidden local b (With object, Select test)
    ClearHidden,  // empty hidden local b (end of With / Select, For not started)
    CaseMatch,    // pop a Case value, push whether hidden local b matches it; flags: CaseFlags
    CaseRange,    // pop high and low, push whether hidden local b is between them; flags: CaseFlags

    // ---- superinstructions (superinstructions.h) ---------------------------
    // In place of the GlobalPrep that starts `x(i, ...)` read through
    // by-value ArgLocal/ArgName subscripts and a GlobalCall: pushes the
    // element and goes past the GlobalCall when x is an array variable and
    // the subscripts plain variables holding whole numbers in range;
    // otherwise runs as DirectCall (below) would.
    ElementRead,
    // The same for `x(i, ...)` where x is no global (LoadCallee, LoadLocal
    // or LoadGlobal subscripts, Index): pushes the element and goes past
    // the Index when x is a plain array variable; otherwise runs as that
    // LoadCallee.
    CalleeElementRead,
    // In place of the IndexedPrep of `x(i, ...) = value` with LoadLocal or
    // LoadGlobal subscripts and a StoreIndexed: writes the value on top
    // into the element and goes past the StoreIndexed when StoreIndexed
    // would write it in place; otherwise runs as that IndexedPrep.
    ElementWrite,
    // In place of a LocalBinary or GlobalBinary comparison followed by a
    // conditional jump: compares and jumps (or goes past the jump) when
    // both operands are numbers of the machine's fast cases; otherwise runs
    // as the instruction it replaced.
    LocalCompareJump,
    GlobalCompareJump,
    // A LocalCompareJump whose right operand is a whole-number constant:
    // its value in a, the constant's index in the b of the jump.
    LocalConstCompareJump,
    // In place of the LoadLocal or LoadGlobal starting `x = x op2 (y op z)
    // [op3 c]` (b: its UpdateSite in Code::updates): does the whole
    // statement when every operand is a variable or a constant and each
    // operator is one of the machine's fast cases; otherwise runs as that
    // load.
    UpdateLocal,
    UpdateGlobal,
    // In place of a LocalBinary or GlobalBinary `y op z` followed by the
    // StoreLocal or StoreGlobal of `x = y op z`: writes the result straight
    // into x (a local, or a global variable) and goes past the store when
    // both operands are numbers of the machine's fast cases; otherwise runs
    // as the instruction it replaced.
    LocalBinaryStore,
    GlobalBinaryStore,
    // In place of the PushConst of `x(i, ...) = constant` whose AssignValue
    // (a Let) and ElementWrite follow: writes the constant into the element
    // and goes past the StoreIndexed when that ElementWrite would write in
    // place; otherwise runs as that PushConst.
    ConstElementWrite,
    // In place of an ElementRead or CalleeElementRead whose read is the
    // condition of the conditional jump right after it: jumps (or goes past
    // the jump) when the element is read in place and is a Boolean, Empty or a
    // whole number; otherwise runs as the instruction it replaced.
    ElementReadJump,
    CalleeElementReadJump,
    // In place of the GlobalPrep of `f(args)` whose arguments are each a
    // PushConst, an ArgLocal, an ArgName of a local or global or a
    // LocalBinary / GlobalBinary, with its GlobalCall right after them (b:
    // where its DirectArg records start in Code::directArgs): when f is a
    // script procedure and every argument a constant, a plain variable or
    // an inline number, pushes them, calls f and goes past the GlobalCall;
    // otherwise runs as that GlobalPrep.
    DirectCall,
    // In place of a ForNext whose counter is a Local name (ForNextLocal) or
    // a Global name bound to its entry (ForNextGlobal): steps a loop that
    // counts whole with the counter reached straight at the place its
    // ForLoopInfo keeps; otherwise runs as ForNext.
    ForNextLocal,
    ForNextGlobal,
    // The same for a loop written without Step, which counts up by 1.
    ForNextLocalUp,
    ForNextGlobalUp,
    // In place of a ConstElementWrite whose ElementWrite has one subscript
    // and whose constant holds no text, array or object: the array and the
    // subscript both Global names (ConstElementWriteGlobal) or both Local
    // names (ConstElementWriteLocal, the array's slot in b).  Writes the
    // element with no further choices when the places hold what the fast
    // case takes; otherwise runs as ConstElementWrite.
    ConstElementWriteGlobal,
    ConstElementWriteLocal,
    // In place of an ElementReadJump of one subscript that is a Global
    // name, and of a CalleeElementReadJump of one subscript whose array
    // and subscript are Local names: as those, with no further choices.
    ElementReadJumpGlobal,
    CalleeElementReadJumpLocal,
    // In place of an ElementWrite of two subscripts where the array and
    // both subscripts are Global names bound to their entries: writes the
    // value on top into the element with no further choices when the
    // places hold what the fast case takes; otherwise runs as ElementWrite.
    ElementWriteTwoGlobal,
    // The same where all three are Local names, the array's slot in a
    // (its name is the StoreIndexed's); otherwise runs as IndexedPrep.
    ElementWriteTwoLocal,
    // In place of the LoadGlobal / LoadLocal x starting `x = x op a(i, j)`
    // (an ElementRead / CalleeElementRead of two subscripts, a Binary of
    // an arithmetic operator, the StoreGlobal / StoreLocal of x), where x,
    // a, i and j are all Global names bound to their entries or all Local
    // names (ElementUpdateLocal: the array's slot in b): when x and the
    // element are numbers the machine's inline arithmetic takes, writes the
    // result into x and goes past the store; otherwise runs as that load.
    ElementUpdateGlobal,
    ElementUpdateLocal,
    // In place of a LocalBinary or GlobalBinary `y op1 z` followed by a
    // BinaryConst, BinaryLocal or BinaryGlobal `op2 w` and the StoreLocal
    // or StoreGlobal of `x = y op1 z op2 w` (a: its ChainSite in
    // Code::chains; b and flags as the instruction replaced): writes the
    // result straight into x and goes past the store when every operand is
    // a number of the machine's fast cases; otherwise runs as the
    // instruction it replaced, with the right operand its ChainSite keeps.
    LocalChainStore,
    GlobalChainStore,
    // In place of a Binary of two stack values followed by the StoreLocal
    // or StoreGlobal of `x = ... op ...`, the operator arithmetic: when both
    // values are numbers of the machine's fast cases, pops them and writes
    // the result straight into x, going past the store; otherwise runs as
    // that Binary.
    BinaryStore,
    // The same for a BinaryConst: the value on top op the constant.
    BinaryConstStore,
    // In place of a LoadLocal followed by the StoreLocal or StoreGlobal of
    // `x = y`: copies y straight into x (a local, or a global variable) and
    // goes past the store when y holds no object; otherwise runs as that
    // LoadLocal.
    LocalCopy,
};

// Instr::flags of Binary.
enum BinaryFlags : uint8_t { kLeftLiteral = 1, kRightLiteral = 2 };

// The right operand of LocalBinary and GlobalBinary, packed in Instr::a:
// what it is, and its index in constants, locals or names.
enum class OperandKind : uint8_t { Const, Local, Global };
struct RightOperand {
    static constexpr int kIndexBits = 30;
    static constexpr int32_t kMaxIndex = (int32_t(1) << kIndexBits) - 1;
    static int32_t pack(OperandKind kind, int32_t index) { return int32_t(uint32_t(kind) << kIndexBits) | index; }
    static OperandKind kind(int32_t a) { return static_cast<OperandKind>(uint32_t(a) >> kIndexBits); }
    static int32_t index(int32_t a) { return a & kMaxIndex; }
};
inline constexpr int kBinaryOpShift = 2;

// Instr::flags of Index and GlobalCall: written `x()`, which calls an
// object's default member where `x` would be the object itself.
enum CallFlags : uint8_t { kEmptyParens = 1 };

// Instr::flags of an element instruction (below) whose array variable the
// compiler found to be a Local name or a Global name (neither: some other
// place, found the general way).
enum PlaceFlags : uint8_t { kPlacedLocal = 8, kPlacedGlobal = 16 };

// Instr::flags of ElementRead, CalleeElementRead and ElementWrite (and the
// forms fuseOperators makes of them), set by fuseElementAccess above bit 0
// (GlobalPrep's and LoadCallee's "has arguments"): one subscript, read from
// a local slot (else from a Global name), and the array variable's place
// (PlaceFlags) when it is a Local or Global name.
enum ElementFlags : uint8_t { kOneSubscript = 2, kSubscriptLocal = 4 };

// Instr::flags of ArgLocal and ArgName: the call takes arguments by
// reference always; without it, as the mode value at stack position b says.
enum ArgFlags : uint8_t { kArgByRef = 1 };

// Instr::flags of CaseMatch and CaseRange: which operands are literals
// (a literal number compared with text converts the text), and the
// operator of `Case Is < x` in bits 3 to 6.
enum CaseFlags : uint8_t {
    kCaseTestLiteral = 1,
    kCaseValueLiteral = 2,
    kCaseHighLiteral = 4,
    kCaseIs = 0x80,
};
inline constexpr int kCaseOpShift = 3;

struct Instr {
    OpCode op;
    uint8_t flags = 0;
    uint16_t b = 0; // small operand: a count, a hidden slot, an operator
    int32_t a = 0;  // large operand: a jump target, a slot, a table index
};
static_assert(sizeof(Instr) == 8, "instructions should stay one word");

// Something an enclosing With, Select or For Each holds while code inside
// runs, released when leaving it early (Exit, an error going up).
struct Holding {
    enum Kind : uint8_t { HiddenSlot, Iterator } kind = HiddenSlot;
    uint16_t index = 0;
};

// The statement an instruction range belongs to.  The innermost statement
// wins: a body's statements have their own entries inside their loop's.
struct StatementEntry {
    uint32_t start = 0; // first instruction
    int line = 0;
    int column = 0;
    // Where On Error Resume Next continues after an error here: the next
    // statement.  An If condition continues into its Then part (`resume`),
    // except after running out of memory (`resumeAfter`, past the If).
    uint32_t resume = 0;
    uint32_t resumeAfter = 0;
    // Holdings active here (innermost first, in Code::holdings), and how
    // many of them the resume point no longer has.
    uint32_t holdingsBegin = 0;
    uint16_t holdingsCount = 0;
    uint16_t releaseOnResume = 0;
};

struct ForLoopInfo {
    // What the machine's step reads each turn, set by fuseOperators with
    // the ForNextLocal / ForNextGlobal it makes of the loop's ForNext: where
    // the hidden locals start and, for a Local counter, where it is, both
    // in bytes from the frame's first local (ready to add), and a Global
    // counter's runtime entry.  The record is 32 bytes, one shift to index.
    ptrdiff_t slotsAt = 0;
    ptrdiff_t counterAt = 0;
    GlobalEntry* counterGlobal = nullptr;
    int counter = -1; // in names
    int slots = -1; // three hidden locals: limit, step, mode (Empty: not started)
};
static_assert(sizeof(ForLoopInfo) == 32, "For records should stay one shift apart");

struct ForEachInfo {
    int element = -1; // in names
    int iterator = 0;
};

// An argument `x(i)` that may go by reference: the variable x, and where
// the mode of the call it is passed to is (or -1: always by reference).
struct ArgSite {
    int array = -1; // in names
    int modeAt = -1;
};

// `a(i)(j) = x`: the variable the chain starts at and the number of
// subscripts of each level, innermost first.
struct NestedSite {
    int base = -1; // in names
    std::vector<uint16_t> counts;
};

struct UpdateSite;

// Computes an UpdateSite's statement into its variable x: false, with
// nothing changed, when its operands are not numbers the machine's fast
// cases take, or a global among them is no declared variable (the general
// way then runs the statement).  `locals`: the frame's.  update_shapes.h
// has the versions.
using UpdateFn = bool (*)(const UpdateSite& site, Value* locals);

// What fuseOperators settled about one `x = x op2 (y op z) [op3 c]` of
// UpdateLocal / UpdateGlobal, so that the machine does not decide it again
// at every run: where x, y and z are (a global by its runtime entry), the
// constants z and c already read as numbers (fuseOperators leaves the
// statement alone when a constant is no Integer, Long or Double), and the
// version of the update built for its operators.  The instructions after
// the head still hold all of it for the general way.
struct UpdateSite {
    Value z;                             // z when zKind is Const (a number)
    InlineNumber c;                      // c when hasC
    UpdateFn update = nullptr;           // update_shapes.h
    GlobalEntry* xGlobal = nullptr;      // x when a global (else local slot x)
    GlobalEntry* yGlobal = nullptr;      // y when a global (else local slot y)
    GlobalEntry* zGlobal = nullptr;      // z when zKind is Global
    int32_t x = 0;
    int32_t y = 0;
    int32_t zAt = 0;                     // z's local slot when zKind is Local
    uint8_t op1 = 0;                     // y op1 z (an Op)
    uint8_t op2 = 0;                     // x op2 (y op1 z)
    uint8_t op3 = 0;                     // ... op3 c
    OperandKind zKind = OperandKind::Const;
    bool hasC = false;
    uint8_t length = 0;                  // the instructions after the head, up to the store
    // For the built versions: z as a double when a constant, and the
    // constants' types less Integer's, or-ed (0: all Integers, 1: Longs
    // among them, more: a Double among them).
    uint8_t constantBits = 0;
    double zReal = 0;
};

struct ChainSite;

// Computes a ChainSite's statement into its variable x: false, with
// nothing changed, when its operands are not numbers the machine's fast
// cases take, or a global among them is no declared variable (the general
// way then runs the statement).  `locals`: the frame's.  update_shapes.h
// has the versions.
using ChainFn = bool (*)(const ChainSite& site, Value* locals);

// One operand of a ChainSite: a constant (kept in the site, already known
// to be a number), a local slot, or a global by its runtime entry.
struct ChainOperand {
    OperandKind kind = OperandKind::Const;
    int32_t slot = 0;                    // Local
    GlobalEntry* global = nullptr;       // Global
};

// What fuseOperators settled about one `x = y op1 z op2 w` of
// LocalChainStore / GlobalChainStore: where x, y, z and w are, the
// constants among them, and the version built for its operators.  The
// instructions after the head still hold all of it for the general way.
struct ChainSite {
    Value z;                             // z when a constant (a number)
    Value w;                             // w when a constant (a number)
    ChainFn store = nullptr;             // update_shapes.h
    GlobalEntry* xGlobal = nullptr;      // x when a global (else local slot x)
    int32_t x = 0;
    int32_t zPacked = 0;                 // z as the head's RightOperand packed it
    ChainOperand y, zAt, wAt;
    uint8_t op1 = 0;                     // y op1 z (an Op)
    uint8_t op2 = 0;                     // (y op1 z) op2 w
};

// How a DirectCall makes one of its arguments, settled when the call is
// fused so that the machine does not choose again at every call.  A call's
// records follow a head record whose `index` is the number of arguments;
// each argument's instruction (after the DirectCall) is still there for
// the general way.
struct DirectArg {
    enum Kind : uint8_t {
        Head,      // index: the number of arguments that follow
        Constant,  // constants[index], by value
        Local,     // a reference to local `index`
        Global,    // a reference to the entry `global` (a Global name's), when a declared variable
        LocalStep, // local `index` plus `step` when it holds an Integer or a Long
        Computed,  // the LocalBinary / GlobalBinary at its instruction, inline (fusedBinary)
    };
    Kind kind = Head;
    int32_t step = 0;
    union {
        int32_t index = 0;
        GlobalEntry* global; // Global: its runtime entry, which never moves
    };
};

struct Code {
    std::vector<Instr> instrs;
    std::vector<StatementEntry> statements; // by start
    std::vector<Holding> holdings;
    std::vector<Value> constants;
    std::vector<NameRef> names;
    // The runtime's entry of each Global name, by the name's index in
    // `names` (null for other names), set when the code is made
    // (bindGlobals): the machine's hot instructions reach a global with
    // one load instead of going through its NameRef.
    std::vector<GlobalEntry*> globals;
    std::vector<MemberSite> members;
    std::vector<Text> classNames;
    std::vector<ArgSite> argSites;
    std::vector<NestedSite> nested;
    std::vector<ForLoopInfo> forLoops;
    std::vector<ForEachInfo> forEachLoops;
    std::vector<UpdateSite> updates;
    std::vector<ChainSite> chains;
    std::vector<DirectArg> directArgs;
    int maxStack = 0;
    int iterators = 0;

    // The entry of the statement that instruction `pc` belongs to.
    const StatementEntry& statementAt(size_t pc) const;
};

} // namespace quillet::script
