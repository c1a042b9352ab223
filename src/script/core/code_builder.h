// The compiler's state while it turns one procedure into Code: statements
// (compile_statements.cpp) and expressions (compile_expressions.cpp).
#pragma once

#include "script/core/ast.h"
#include "script/core/code.h"
#include "script/stop_poll.h"

#include <optional>
#include <vector>

namespace quillet::script {

class CodeBuilder {
public:
    CodeBuilder(Procedure& proc, Code& code) : proc_(proc), code_(code) {}

    void body(const Block& block);
    void expressionBody(const Expr& e);

private:
    // A loop that Exit Do / Exit For leaves (While...Wend: neither): the
    // jumps to patch, and how many holdings were active outside it.
    struct Loop {
        std::optional<ExitKind> exitedBy; // Do or For; none for While
        size_t holdingsOutside = 0;
        std::vector<size_t> exits;
    };

    // How the call being compiled takes its arguments.
    struct ArgPassing {
        enum Kind : uint8_t { ByValue, ByRef, ByMode } kind = ByValue;
        int modeAt = -1; // ByMode: stack position of the mode value
    };

    // ---- emitting --------------------------------------------------------
    uint32_t here() const { return static_cast<uint32_t>(code_.instrs.size()); }
    size_t emit(OpCode op, uint8_t flags = 0, uint16_t b = 0, int32_t a = 0);
    void patch(size_t at, uint32_t target) { code_.instrs[at].a = static_cast<int32_t>(target); }
    // The stack grows (or shrinks) by `by` values.
    void grow(int by);
    int32_t nameIndex(const NameExpr& n);
    int32_t memberIndex(const MemberExpr& m);
    int32_t constantIndex(const Value& v);
    uint16_t count(size_t n) const;
    uint16_t hiddenSlot();

    // ---- statement table -------------------------------------------------
    size_t open(const Stmt& s, uint16_t release = 0);
    // Where On Error Resume Next goes on after an error in the statement of
    // `entry`: resumeAt sets both points.  A block's head goes on into the
    // body (resumeInto) but past the block when out of memory (resumeAfter).
    void resumeAt(size_t entry, uint32_t pc);
    void resumeInto(size_t entry, uint32_t body) { code_.statements[entry].resume = body; }
    void resumeAfter(size_t entry, uint32_t pc) { code_.statements[entry].resumeAfter = pc; }

    // ---- statements (compile_statements.cpp) -----------------------------
    void statements(const Block& block);
    void statement(const Stmt& s);
    void simpleStatement(const Stmt& s);
    void ifStatement(const IfStmt& s);
    void selectStatement(const SelectStmt& s);
    void forStatement(const ForStmt& s);
    void forEachStatement(const ForEachStmt& s);
    void doStatement(const DoStmt& s);
    void closeLoop();
    void releaseDownTo(size_t outside);
    void exitStatement(const ExitStmt& s);
    void withStatement(const WithStmt& s);
    void dimStatement(const DimStmt& s);
    // Pushes the upper bounds of a Dim or ReDim as Longs; their number.
    uint16_t arrayBounds(const std::vector<ExprPtr>& bounds);
    void reDimStatement(const ReDimStmt& s);
    void appendStatement(const AppendStmt& s);

    // ---- expressions (compile_expressions.cpp) ---------------------------
    void value(const Expr& e);
    void nameValue(const NameExpr& n);
    // What a binary operator's right operand is when it can be read in
    // place (a constant or a variable), and its index for the instruction.
    static std::optional<OperandKind> inPlaceOperand(const Expr& e);
    int32_t operandIndex(const Expr& e, OperandKind kind);
    // `left op right` as one LocalBinary / GlobalBinary when the left
    // operand is a variable; false (nothing emitted) otherwise.
    bool fusedBinary(const Expr& left, const Expr& right, OperandKind rightKind, uint8_t flags, Op op);
    // A call or member access; `args` null when written without any.
    // `discarded`: a call statement's, whose result nobody reads.
    void call(const Expr& target, const std::vector<ExprPtr>* args, bool discarded = false);
    void callBuiltin(const NameExpr& n, const std::vector<ExprPtr>* args, bool discarded);
    void memberObject(const MemberExpr& m);
    void arguments(const std::vector<ExprPtr>* args, ArgPassing passing);
    void argument(const Expr& a, ArgPassing passing);
    void assignment(const AssignStmt& s);
    void nestedAssignment(const CallExpr& target, bool isSet);

    Procedure& proc_;
    Code& code_;
    int depth_ = 0;
    std::vector<Holding> holdings_; // outermost first
    std::vector<Loop> loops_;
    StopPoll stopPoll_{1024}; // per statement: huge code must not outlast a stop request
};

// Whether a name may stand for a variable (what a by-reference argument or
// an element assignment needs); which globals are variables is only known
// when the code runs.
bool mayBeVariable(const NameExpr& n);

} // namespace quillet::script
