#include "script/core/compiler.h"

#include "script/core/code_builder.h"

#include <algorithm>
#include <limits>

namespace quillet::script {

std::unique_ptr<Code> compileBody(Procedure& proc)
{
    auto code = std::make_unique<Code>();
    CodeBuilder(proc, *code).body(proc.body);
    return code;
}

std::unique_ptr<Code> compileExpression(Procedure& proc, const Expr& e)
{
    auto code = std::make_unique<Code>();
    CodeBuilder(proc, *code).expressionBody(e);
    return code;
}

void CodeBuilder::body(const Block& block)
{
    statements(block);
    emit(OpCode::Return);
}

void CodeBuilder::expressionBody(const Expr& e)
{
    value(e);
    emit(OpCode::Return, 1);
}

size_t CodeBuilder::emit(OpCode op, uint8_t flags, uint16_t b, int32_t a)
{
    code_.instrs.push_back(Instr{op, flags, b, a});
    return code_.instrs.size() - 1;
}

void CodeBuilder::grow(int by)
{
    depth_ += by;
    // Stack positions travel in 16-bit operands; no real script nests
    // calls and operands anywhere near this deep.
    if (depth_ >= std::numeric_limits<uint16_t>::max())
        throw VbError(vberr::OutOfStack);
    code_.maxStack = std::max(code_.maxStack, depth_);
}

int32_t CodeBuilder::nameIndex(const NameExpr& n)
{
    code_.names.push_back(NameRef{n.resolved, n.slot, n.member, n.builtin, n.constant});
    return static_cast<int32_t>(code_.names.size() - 1);
}

int32_t CodeBuilder::memberIndex(const MemberExpr& m)
{
    code_.members.push_back(MemberSite{m.name, {}});
    return static_cast<int32_t>(code_.members.size() - 1);
}

int32_t CodeBuilder::constantIndex(const Value& v)
{
    code_.constants.push_back(v);
    return static_cast<int32_t>(code_.constants.size() - 1);
}

uint16_t CodeBuilder::count(size_t n) const
{
    if (n >= std::numeric_limits<uint16_t>::max())
        throw VbError(vberr::OutOfStack);
    return static_cast<uint16_t>(n);
}

uint16_t CodeBuilder::hiddenSlot()
{
    const int slot = proc_.addHidden();
    if (slot >= std::numeric_limits<uint16_t>::max())
        throw VbError(vberr::OutOfMemory);
    return static_cast<uint16_t>(slot);
}

size_t CodeBuilder::open(const Stmt& s, uint16_t release)
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

void CodeBuilder::resumeAt(size_t entry, uint32_t pc)
{
    code_.statements[entry].resume = pc;
    code_.statements[entry].resumeAfter = pc;
}

bool mayBeVariable(const NameExpr& n)
{
    switch (n.resolved) {
    case NameKind::Local:
    case NameKind::OuterLocal:
    case NameKind::OuterExecuted:
    case NameKind::Field:
    case NameKind::Global:
        return true;
    default:
        return false;
    }
}

} // namespace quillet::script
