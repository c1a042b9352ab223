// Statements: control flow becomes jumps; every statement gets its entry
// in the statement table with the point where On Error Resume Next goes on.
// An error in the head of a block (a loop's condition or bounds, a For Each
// collection, a With object, a Case value) goes on into the block's body;
// only a Select Case test and a condition at a loop's end go on after it.
#include "script/core/code_builder.h"

namespace quillet::script {

void CodeBuilder::statements(const Block& block)
{
    for (const StmtPtr& s : block)
        statement(*s);
}

void CodeBuilder::statement(const Stmt& s)
{
    stopPoll_.tick();
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
    simpleStatement(s);
    resumeAt(entry, here());
}

void CodeBuilder::simpleStatement(const Stmt& s)
{
    switch (s.kind) {
    case StmtKind::Call: {
        const Expr& e = *static_cast<const CallStmt&>(s).call;
        if (e.kind == ExprKind::Name || e.kind == ExprKind::Member)
            call(e, nullptr, true);
        else if (e.kind == ExprKind::Call)
            call(*static_cast<const CallExpr&>(e).target, &static_cast<const CallExpr&>(e).args, true);
        else
            value(e);
        emit(OpCode::Pop);
        grow(-1);
        return;
    }
    case StmtKind::Assign:
        assignment(static_cast<const AssignStmt&>(s));
        return;
    case StmtKind::Append:
        appendStatement(static_cast<const AppendStmt&>(s));
        return;
    case StmtKind::OnError:
        emit(OpCode::OnError, static_cast<const OnErrorStmt&>(s).resumeNext ? 1 : 0);
        return;
    case StmtKind::Dim:
        dimStatement(static_cast<const DimStmt&>(s));
        return;
    case StmtKind::ReDim:
        reDimStatement(static_cast<const ReDimStmt&>(s));
        return;
    case StmtKind::Erase:
        for (const ExprPtr& target : static_cast<const EraseStmt&>(s).targets)
            emit(OpCode::Erase, 0, 0, nameIndex(static_cast<const NameExpr&>(*target)));
        return;
    default:
        return; // compound statements: statement()
    }
}

void CodeBuilder::dimStatement(const DimStmt& s)
{
    for (const DimItem& item : s.items) {
        const int32_t name = nameIndex(*item.target);
        if (item.bounds.empty()) {
            emit(OpCode::DimArray, 0, 0, name);
            continue;
        }
        // A declaration, not an action: running `Dim a(3)` again (in a
        // loop) keeps the array it made the first time, bounds unevaluated.
        emit(OpCode::TestFixed, 0, 0, name);
        grow(1);
        const size_t skip = emit(OpCode::JumpIfTrue);
        grow(-1);
        const uint16_t n = arrayBounds(item.bounds);
        emit(OpCode::DimArray, 0, n, name);
        grow(-n);
        patch(skip, here());
    }
}

uint16_t CodeBuilder::arrayBounds(const std::vector<ExprPtr>& bounds)
{
    for (const ExprPtr& b : bounds) {
        value(*b);
        emit(OpCode::ToLong);
    }
    return count(bounds.size());
}

void CodeBuilder::reDimStatement(const ReDimStmt& s)
{
    // The bounds go as they are: a fixed-size array refuses any (error 10)
    // before they are read as numbers.
    for (const DimItem& item : s.items) {
        for (const ExprPtr& b : item.bounds)
            value(*b);
        const uint16_t n = count(item.bounds.size());
        emit(OpCode::ReDim, s.preserve ? 1 : 0, n, nameIndex(*item.target));
        grow(-n);
    }
}

void CodeBuilder::appendStatement(const AppendStmt& s)
{
    // The pieces become text one by one, as they are evaluated.
    emit(OpCode::AppendStart);
    for (const ExprPtr& piece : s.pieces) {
        if (piece->kind == ExprKind::Literal) {
            emit(OpCode::AppendConst, 0, 0, constantIndex(static_cast<const LiteralExpr&>(*piece).value));
            continue;
        }
        value(*piece);
        emit(OpCode::Append);
        grow(-1);
    }
    emit(OpCode::AppendStore, 0, 0, nameIndex(static_cast<const NameExpr&>(*s.target)));
}

void CodeBuilder::ifStatement(const IfStmt& s)
{
    std::vector<size_t> toEnd;
    std::vector<size_t> conditions;
    for (const auto& [condition, block] : s.branches) {
        // An error in the condition continues into this branch.
        const size_t entry = open(s);
        conditions.push_back(entry);
        value(*condition);
        const size_t skip = emit(OpCode::JumpIfFalse);
        grow(-1);
        resumeInto(entry, here());
        statements(block);
        toEnd.push_back(emit(OpCode::Jump));
        patch(skip, here());
    }
    statements(s.elseBlock);
    for (size_t j : toEnd)
        patch(j, here());
    for (size_t entry : conditions)
        resumeAfter(entry, here());
}

void CodeBuilder::selectStatement(const SelectStmt& s)
{
    const size_t head = open(s);
    value(*s.test);
    const uint16_t slot = hiddenSlot();
    emit(OpCode::StoreHidden, 0, slot);
    grow(-1);
    holdings_.push_back(Holding{Holding::HiddenSlot, slot});
    const uint8_t testLiteral = s.test->kind == ExprKind::Literal ? kCaseTestLiteral : 0;
    std::vector<size_t> toEnd;
    std::vector<size_t> caseEntries;
    for (const auto& [items, block] : s.cases) {
        // Releasing the test value when going on into the body does no
        // harm: only the Cases read it.
        const size_t caseEntry = open(s, 1);
        caseEntries.push_back(caseEntry);
        std::vector<size_t> toBody;
        for (const CaseItem& item : items) {
            uint8_t flags = testLiteral;
            if (item.first->kind == ExprKind::Literal)
                flags |= kCaseValueLiteral;
            value(*item.first);
            if (item.kind == CaseItem::Range) {
                if (item.second->kind == ExprKind::Literal)
                    flags |= kCaseHighLiteral;
                value(*item.second);
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
        resumeInto(caseEntry, here());
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
        resumeAfter(entry, here());
}

void CodeBuilder::forStatement(const ForStmt& s)
{
    ForLoopInfo info;
    info.counter = nameIndex(static_cast<const NameExpr&>(*s.counter));
    info.slots = hiddenSlot();
    hiddenSlot();
    hiddenSlot();
    const uint16_t index = count(code_.forLoops.size());
    code_.forLoops.push_back(info);

    // An error in the bounds continues into the body, which then runs
    // once and ends at Next with error 92: so the loop is marked as not
    // started before anything is evaluated.
    const size_t head = open(s);
    emit(OpCode::ClearHidden, 0, static_cast<uint16_t>(info.slots + 2));
    value(*s.from);
    emit(OpCode::ToNumeric);
    value(*s.to);
    emit(OpCode::ToNumeric);
    if (s.step) {
        value(*s.step);
        emit(OpCode::ToNumeric);
    }
    const size_t start = emit(OpCode::ForStart, s.step ? 1 : 0, index);
    grow(s.step ? -3 : -2);
    const uint32_t bodyStart = here();
    resumeInto(head, bodyStart);

    loops_.push_back(Loop{ExitKind::For, holdings_.size(), {}});
    statements(s.body);
    const size_t tail = open(s);
    emit(OpCode::ForNext, 0, index, static_cast<int32_t>(bodyStart));
    resumeAt(tail, here());
    resumeAfter(head, here());
    patch(start, here());
    closeLoop();
}

void CodeBuilder::forEachStatement(const ForEachStmt& s)
{
    ForEachInfo info;
    info.element = nameIndex(static_cast<const NameExpr&>(*s.element));
    info.iterator = count(static_cast<size_t>(code_.iterators++));
    const uint16_t index = count(code_.forEachLoops.size());
    code_.forEachLoops.push_back(info);

    const size_t head = open(s);
    value(*s.collection);
    const size_t start = emit(OpCode::ForEachStart, 0, index);
    grow(-1);
    const uint32_t bodyStart = here();
    // Not a collection: the body runs once, and Next raises the error again.
    resumeInto(head, bodyStart);

    loops_.push_back(Loop{ExitKind::For, holdings_.size(), {}});
    holdings_.push_back(Holding{Holding::Iterator, static_cast<uint16_t>(info.iterator)});
    statements(s.body);
    const size_t tail = open(s, 1);
    emit(OpCode::ForEachNext, 0, index, static_cast<int32_t>(bodyStart));
    holdings_.pop_back();
    resumeAt(tail, here());
    resumeAfter(head, here());
    patch(start, here());
    closeLoop();
}

void CodeBuilder::doStatement(const DoStmt& s)
{
    const uint32_t top = here();
    size_t exitAtTop = SIZE_MAX;
    size_t head = SIZE_MAX;
    if (s.condition && !s.testAtEnd) {
        head = open(s);
        value(*s.condition);
        exitAtTop = emit(s.until ? OpCode::JumpIfTrue : OpCode::JumpIfFalse);
        grow(-1);
        resumeInto(head, here());
    }
    loops_.push_back(Loop{s.isWhile ? std::nullopt : std::optional(ExitKind::Do), holdings_.size(), {}});
    statements(s.body);
    const size_t tail = open(s);
    if (s.condition && s.testAtEnd) {
        emit(OpCode::CheckStep);
        value(*s.condition);
        emit(s.until ? OpCode::JumpIfFalse : OpCode::JumpIfTrue, 0, 0, static_cast<int32_t>(top));
        grow(-1);
    } else {
        emit(OpCode::LoopBack, 0, 0, static_cast<int32_t>(top));
    }
    if (exitAtTop != SIZE_MAX) {
        patch(exitAtTop, here());
        resumeAfter(head, here());
    }
    resumeAt(tail, here());
    closeLoop();
}

void CodeBuilder::closeLoop()
{
    for (size_t j : loops_.back().exits)
        patch(j, here());
    loops_.pop_back();
}

// Releases what the statements between here and the target hold
// (innermost first), as leaving their blocks early would.
void CodeBuilder::releaseDownTo(size_t outside)
{
    for (size_t i = holdings_.size(); i-- > outside;) {
        const Holding& h = holdings_[i];
        emit(h.kind == Holding::Iterator ? OpCode::ForEachEnd : OpCode::ClearHidden, 0, h.index);
    }
}

void CodeBuilder::exitStatement(const ExitStmt& s)
{
    const size_t entry = open(s);
    if (s.what == ExitKind::Do || s.what == ExitKind::For) {
        for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
            if (it->exitedBy != s.what)
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

void CodeBuilder::withStatement(const WithStmt& s)
{
    const size_t head = open(s);
    value(*s.object);
    const uint16_t slot = count(static_cast<size_t>(s.slot));
    emit(OpCode::StoreHidden, 0, slot);
    grow(-1);
    // No object: the body runs, its With-dots failing.
    resumeInto(head, here());
    holdings_.push_back(Holding{Holding::HiddenSlot, slot});
    statements(s.body);
    holdings_.pop_back();
    const size_t end = open(s);
    emit(OpCode::ClearHidden, 0, slot);
    resumeAt(end, here());
    resumeAfter(head, here());
}

} // namespace quillet::script
