#include "script/core/compiler.h"

#include <algorithm>
#include <limits>

namespace quillet::script {
namespace {

class Compiler {
public:
    Compiler(Procedure& proc, Code& code) : proc_(proc), code_(code) {}

    void body(const Block& block)
    {
        statements(block);
        emit(OpCode::Return);
    }

    void expressionBody(const Expr& e)
    {
        pushExpr(e);
        emit(OpCode::Return, 1);
    }

private:
    // A loop that Exit Do / Exit For leaves: the jumps to patch, and how
    // many holdings were active outside it.
    struct Loop {
        bool isFor = false;
        size_t holdingsOutside = 0;
        std::vector<size_t> exits;
    };

    uint32_t here() const { return static_cast<uint32_t>(code_.instrs.size()); }

    size_t emit(OpCode op, uint8_t flags = 0, uint16_t b = 0, int32_t a = 0)
    {
        code_.instrs.push_back(Instr{op, flags, b, a});
        return code_.instrs.size() - 1;
    }

    void patch(size_t at, uint32_t target) { code_.instrs[at].a = static_cast<int32_t>(target); }

    void grow(int by)
    {
        depth_ += by;
        code_.maxStack = std::max(code_.maxStack, depth_);
    }

    void pushExpr(const Expr& e)
    {
        emit(OpCode::PushExpr, 0, 0, static_cast<int32_t>(code_.exprs.size()));
        code_.exprs.push_back(&e);
        grow(1);
    }

    uint16_t hiddenSlot()
    {
        const int slot = proc_.addHidden();
        if (slot > std::numeric_limits<uint16_t>::max())
            throw VbError(vberr::OutOfMemory);
        return static_cast<uint16_t>(slot);
    }

    // Starts the statement-table entry of `s` at the next instruction;
    // its resume point is set by resumeAt().  `release`: how many of the
    // innermost holdings the resume point is outside of.
    size_t open(const Stmt& s, uint16_t release = 0)
    {
        StatementEntry e;
        e.start = here();
        e.line = s.line;
        e.column = s.column;
        e.holdingsBegin = static_cast<uint32_t>(code_.holdings.size());
        e.holdingsCount = static_cast<uint16_t>(holdings_.size());
        e.releaseOnResume = release;
        for (auto it = holdings_.rbegin(); it != holdings_.rend(); ++it)
            code_.holdings.push_back(*it);
        code_.statements.push_back(e);
        return code_.statements.size() - 1;
    }

    void resumeAt(size_t entry, uint32_t pc)
    {
        code_.statements[entry].resume = pc;
        code_.statements[entry].resumeAfter = pc;
    }

    void statements(const Block& block)
    {
        for (const StmtPtr& s : block)
            statement(*s);
    }

    void statement(const Stmt& s)
    {
        switch (s.kind) {
        case StmtKind::If: ifStatement(static_cast<const IfStmt&>(s)); return;
        case StmtKind::Select: selectStatement(static_cast<const SelectStmt&>(s)); return;
        case StmtKind::For: forStatement(static_cast<const ForStmt&>(s)); return;
        case StmtKind::ForEach: forEachStatement(static_cast<const ForEachStmt&>(s)); return;
        case StmtKind::Do: doStatement(static_cast<const DoStmt&>(s)); return;
        case StmtKind::Exit: exitStatement(static_cast<const ExitStmt&>(s)); return;
        case StmtKind::With: withStatement(static_cast<const WithStmt&>(s)); return;
        default: break;
        }
        const size_t entry = open(s);
        emit(OpCode::RunStatement, 0, 0, static_cast<int32_t>(code_.stmts.size()));
        code_.stmts.push_back(&s);
        resumeAt(entry, here());
    }

    void ifStatement(const IfStmt& s)
    {
        std::vector<size_t> toEnd;
        std::vector<size_t> conditions;
        for (const auto& [condition, block] : s.branches) {
            // An error in the condition continues into this branch.
            const size_t entry = open(s);
            conditions.push_back(entry);
            pushExpr(*condition);
            const size_t skip = emit(OpCode::JumpIfFalse);
            grow(-1);
            code_.statements[entry].resume = here();
            statements(block);
            toEnd.push_back(emit(OpCode::Jump));
            patch(skip, here());
        }
        statements(s.elseBlock);
        for (size_t j : toEnd)
            patch(j, here());
        for (size_t entry : conditions)
            code_.statements[entry].resumeAfter = here();
    }

    void selectStatement(const SelectStmt& s)
    {
        const size_t head = open(s);
        pushExpr(*s.test);
        const uint16_t slot = hiddenSlot();
        emit(OpCode::StoreHidden, 0, slot);
        grow(-1);
        holdings_.push_back(Holding{Holding::HiddenSlot, slot});
        const uint8_t testLiteral = s.test->kind == ExprKind::Literal ? kCaseTestLiteral : 0;
        std::vector<size_t> toEnd;
        std::vector<size_t> caseEntries;
        for (const auto& [items, block] : s.cases) {
            caseEntries.push_back(open(s, 1));
            std::vector<size_t> toBody;
            for (const CaseItem& item : items) {
                uint8_t flags = testLiteral;
                if (item.first->kind == ExprKind::Literal)
                    flags |= kCaseValueLiteral;
                pushExpr(*item.first);
                if (item.kind == CaseItem::Range) {
                    if (item.second->kind == ExprKind::Literal)
                        flags |= kCaseHighLiteral;
                    pushExpr(*item.second);
                    emit(OpCode::CaseRange, flags, slot);
                    grow(-1);
                } else {
                    if (item.kind == CaseItem::Compare)
                        flags |= static_cast<uint8_t>(kCaseIs | (static_cast<int>(item.op) << kCaseOpShift));
                    emit(OpCode::CaseMatch, flags, slot);
                }
                toBody.push_back(emit(OpCode::JumpIfTrue));
                grow(-1);
            }
            const size_t next = emit(OpCode::Jump);
            for (size_t j : toBody)
                patch(j, here());
            statements(block);
            toEnd.push_back(emit(OpCode::Jump));
            patch(next, here());
        }
        if (s.hasElse)
            statements(s.elseBlock);
        for (size_t j : toEnd)
            patch(j, here());
        holdings_.pop_back();
        // The test value goes when the statement ends, as a temporary would.
        const size_t end = open(s);
        emit(OpCode::ClearHidden, 0, slot);
        resumeAt(end, here());
        resumeAt(head, here());
        for (size_t entry : caseEntries)
            resumeAt(entry, here());
    }

    void forStatement(const ForStmt& s)
    {
        ForLoopInfo info;
        info.counter = static_cast<const NameExpr*>(s.counter.get());
        info.slots = hiddenSlot();
        hiddenSlot();
        hiddenSlot();
        const auto index = static_cast<uint16_t>(code_.forLoops.size());
        code_.forLoops.push_back(info);

        // An error in the bounds continues into the body, which then runs
        // once and ends at Next with error 92: so the loop is marked as not
        // started before anything is evaluated.
        const size_t head = open(s);
        emit(OpCode::ClearHidden, 0, static_cast<uint16_t>(info.slots + 2));
        pushExpr(*s.from);
        emit(OpCode::ToNumeric);
        pushExpr(*s.to);
        emit(OpCode::ToNumeric);
        if (s.step) {
            pushExpr(*s.step);
            emit(OpCode::ToNumeric);
        }
        const size_t start = emit(OpCode::ForStart, s.step ? 1 : 0, index);
        grow(s.step ? -3 : -2);
        const uint32_t bodyStart = here();
        resumeAt(head, bodyStart);

        loops_.push_back(Loop{true, holdings_.size(), {}});
        statements(s.body);
        const size_t tail = open(s);
        emit(OpCode::ForNext, 0, index, static_cast<int32_t>(bodyStart));
        resumeAt(tail, here());
        patch(start, here());
        closeLoop();
    }

    void forEachStatement(const ForEachStmt& s)
    {
        ForEachInfo info;
        info.element = static_cast<const NameExpr*>(s.element.get());
        info.iterator = code_.iterators++;
        if (info.iterator > std::numeric_limits<uint16_t>::max())
            throw VbError(vberr::OutOfMemory);
        const auto index = static_cast<uint16_t>(code_.forEachLoops.size());
        code_.forEachLoops.push_back(info);

        const size_t head = open(s);
        pushExpr(*s.collection);
        const size_t start = emit(OpCode::ForEachStart, 0, index);
        grow(-1);
        const uint32_t bodyStart = here();

        loops_.push_back(Loop{true, holdings_.size(), {}});
        holdings_.push_back(Holding{Holding::Iterator, static_cast<uint16_t>(info.iterator)});
        statements(s.body);
        const size_t tail = open(s, 1);
        emit(OpCode::ForEachNext, 0, index, static_cast<int32_t>(bodyStart));
        holdings_.pop_back();
        resumeAt(tail, here());
        resumeAt(head, here());
        patch(start, here());
        closeLoop();
    }

    void doStatement(const DoStmt& s)
    {
        const uint32_t top = here();
        const OpCode leave = s.until ? OpCode::JumpIfTrue : OpCode::JumpIfFalse;
        std::vector<size_t> heads;
        size_t exitAtTop = SIZE_MAX;
        if (s.condition && !s.testAtEnd) {
            heads.push_back(open(s));
            pushExpr(*s.condition);
            exitAtTop = emit(leave);
            grow(-1);
        }
        loops_.push_back(Loop{false, holdings_.size(), {}});
        statements(s.body);
        heads.push_back(open(s));
        if (s.condition && s.testAtEnd) {
            emit(OpCode::CheckStep);
            pushExpr(*s.condition);
            emit(s.until ? OpCode::JumpIfFalse : OpCode::JumpIfTrue, 0, 0, static_cast<int32_t>(top));
            grow(-1);
        } else {
            emit(OpCode::LoopBack, 0, 0, static_cast<int32_t>(top));
        }
        if (exitAtTop != SIZE_MAX)
            patch(exitAtTop, here());
        for (size_t entry : heads)
            resumeAt(entry, here());
        closeLoop();
    }

    void closeLoop()
    {
        for (size_t j : loops_.back().exits)
            patch(j, here());
        loops_.pop_back();
    }

    // Releases what the statements between here and the target hold
    // (innermost first), as leaving their blocks early would.
    void releaseDownTo(size_t outside)
    {
        for (size_t i = holdings_.size(); i-- > outside;) {
            const Holding& h = holdings_[i];
            emit(h.kind == Holding::Iterator ? OpCode::ForEachEnd : OpCode::ClearHidden, 0, h.index);
        }
    }

    void exitStatement(const ExitStmt& s)
    {
        const size_t entry = open(s);
        if (s.what == ExitKind::Do || s.what == ExitKind::For) {
            const bool wantFor = s.what == ExitKind::For;
            for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
                if (it->isFor != wantFor)
                    continue;
                releaseDownTo(it->holdingsOutside);
                it->exits.push_back(emit(OpCode::Jump));
                break;
            }
        } else {
            releaseDownTo(0);
            emit(OpCode::Return);
        }
        resumeAt(entry, here());
    }

    void withStatement(const WithStmt& s)
    {
        const size_t head = open(s);
        pushExpr(*s.object);
        const auto slot = static_cast<uint16_t>(s.slot);
        emit(OpCode::StoreHidden, 0, slot);
        grow(-1);
        holdings_.push_back(Holding{Holding::HiddenSlot, slot});
        statements(s.body);
        holdings_.pop_back();
        const size_t end = open(s);
        emit(OpCode::ClearHidden, 0, slot);
        resumeAt(end, here());
        resumeAt(head, here());
    }

    Procedure& proc_;
    Code& code_;
    int depth_ = 0;
    std::vector<Holding> holdings_; // outermost first
    std::vector<Loop> loops_;
};

} // namespace

std::unique_ptr<Code> compileBody(Procedure& proc)
{
    auto code = std::make_unique<Code>();
    Compiler(proc, *code).body(proc.body);
    return code;
}

std::unique_ptr<Code> compileExpression(Procedure& proc, const Expr& e)
{
    auto code = std::make_unique<Code>();
    Compiler(proc, *code).expressionBody(e);
    return code;
}

} // namespace quillet::script
