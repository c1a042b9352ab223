#include "script/core/superinstructions.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace quillet::script {
namespace {

// The instructions whose operand `a` is a jump target.
constexpr OpCode kJumps[] = {OpCode::Jump,     OpCode::LoopBack, OpCode::JumpIfFalse,  OpCode::JumpIfTrue,
                             OpCode::ForStart, OpCode::ForNext,  OpCode::ForEachStart, OpCode::ForEachNext};

bool jumps(OpCode op)
{
    return std::find(std::begin(kJumps), std::end(kJumps), op) != std::end(kJumps);
}

// Instructions where execution may arrive other than from the one before.
std::vector<bool> entryPoints(const Code& code)
{
    std::vector<bool> entry(code.instrs.size() + 1, false);
    auto mark = [&](size_t at) {
        if (at < entry.size())
            entry[at] = true;
    };
    for (const Instr& in : code.instrs) {
        if (jumps(in.op) && in.a >= 0)
            mark(static_cast<size_t>(in.a));
    }
    for (const StatementEntry& s : code.statements) {
        mark(s.start);
        mark(s.resume);
        mark(s.resumeAfter);
    }
    return entry;
}

// The number of subscripts when the instructions after `first` are loads
// of subscripts (localOp, globalOp) and then `last` on the same name as
// `first`, with no way in between; 0 when they are not.
size_t fusable(const Code& code, const std::vector<bool>& entry, size_t first, OpCode localOp, OpCode globalOp,
             OpCode last)
{
    const Instr& head = code.instrs[first];
    size_t at = first + 1;
    for (; at < code.instrs.size(); ++at) {
        if (entry[at])
            return 0;
        const Instr& in = code.instrs[at];
        if (in.op == last)
            break;
        if ((in.op != localOp && in.op != globalOp) || (in.flags & kArgByRef))
            return 0;
    }
    if (at >= code.instrs.size() || entry[at])
        return 0;
    const Instr& end = code.instrs[at];
    const size_t count = at - first - 1;
    // Index, unlike the others, names nothing: it indexes what LoadCallee pushed.
    const bool sameName = last == OpCode::Index || end.a == head.a;
    return end.op == last && sameName && end.b == count ? count : 0;
}

} // namespace

void fuseElementAccess(Code& code)
{
    const std::vector<bool> entry = entryPoints(code);
    // The count goes into the b operand, which GlobalPrep, LoadCallee and
    // IndexedPrep do not use.
    for (size_t i = 0; i + 2 < code.instrs.size(); ++i) {
        Instr& in = code.instrs[i];
        size_t count = 0;
        if (in.op == OpCode::GlobalPrep &&
            (count = fusable(code, entry, i, OpCode::ArgLocal, OpCode::ArgName, OpCode::GlobalCall)) > 0) {
            in.op = OpCode::ElementRead;
            in.b = static_cast<uint16_t>(count);
        } else if (in.op == OpCode::LoadCallee &&
                   (count = fusable(code, entry, i, OpCode::LoadLocal, OpCode::LoadGlobal, OpCode::Index)) > 0) {
            in.op = OpCode::CalleeElementRead;
            in.b = static_cast<uint16_t>(count);
        } else if (in.op == OpCode::IndexedPrep &&
                   (count = fusable(code, entry, i, OpCode::LoadLocal, OpCode::LoadGlobal, OpCode::StoreIndexed)) > 0) {
            in.op = OpCode::ElementWrite;
            in.b = static_cast<uint16_t>(count);
        }
    }
}

} // namespace quillet::script
