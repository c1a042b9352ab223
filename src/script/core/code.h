// The executable form of one procedure body (or a top level, or an Eval
// expression): flat instructions for a stack machine, with side tables.
// Control flow is jumps; the statement table maps every instruction back to
// the statement it came from, for error positions and for where On Error
// Resume Next continues.
#pragma once

#include "script/value.h"

#include <cstdint>
#include <vector>

namespace quillet::script {

struct Expr;
struct Stmt;

enum class OpCode : uint8_t {
    // ---- statements still run by the tree evaluator ----------------------
    RunStatement, // stmts[a]: a simple statement (call, assignment, Dim, ...)
    PushExpr,     // exprs[a]: push its value

    // ---- control flow ----------------------------------------------------
    Jump,         // to a
    LoopBack,     // to a, after the stop and step-budget check
    CheckStep,    // the stop and step-budget check
    JumpIfFalse,  // pop a condition; to a when false
    JumpIfTrue,   // pop a condition; to a when true
    Return,       // end of the body

    // ---- loops and blocks ------------------------------------------------
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
};

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
    uint16_t b = 0; // small operand: a hidden slot, an iterator, an operator
    int32_t a = 0;  // large operand: a jump target, a table index
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
    uint32_t start = 0;        // first instruction
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

struct NameExpr;

struct ForLoopInfo {
    const NameExpr* counter = nullptr;
    int slots = -1; // three hidden locals: limit, step, mode (Empty: not started)
};

struct ForEachInfo {
    const NameExpr* element = nullptr;
    int iterator = 0;
};

struct Code {
    std::vector<Instr> instrs;
    std::vector<ForLoopInfo> forLoops;
    std::vector<ForEachInfo> forEachLoops;
    std::vector<StatementEntry> statements; // by start
    std::vector<Holding> holdings;
    std::vector<const Expr*> exprs;
    std::vector<const Stmt*> stmts;
    int maxStack = 0;
    int iterators = 0;

    // The entry of the statement that instruction `pc` belongs to.
    const StatementEntry& statementAt(size_t pc) const;
};

} // namespace quillet::script
