#include "script/core/superinstructions.h"

#include "script/core/ast.h"
#include "script/core/binary_op.h"
#include "script/core/update_shapes.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace quillet::script {
namespace {

// The instructions whose operand `a` is a jump target.
constexpr OpCode kJumps[] = {OpCode::Jump,         OpCode::LoopBack,     OpCode::JumpIfFalse,   OpCode::JumpIfTrue,
                             OpCode::ForStart,     OpCode::ForNext,      OpCode::ForNextLocal,  OpCode::ForNextGlobal,
                             OpCode::ForNextLocalUp, OpCode::ForNextGlobalUp, OpCode::ForEachStart, OpCode::ForEachNext};

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
    if (at >= code.instrs.size())
        return 0;
    const Instr& end = code.instrs[at];
    const size_t count = at - first - 1;
    // Index, unlike the others, names nothing: it indexes what LoadCallee pushed.
    const bool sameName = last == OpCode::Index || end.a == head.a;
    return end.op == last && sameName && end.b == count ? count : 0;
}

Op fusedOp(const Instr& in)
{
    return static_cast<Op>(in.flags >> kBinaryOpShift);
}

// None of the instructions after `first` up to `last` is a way in.
bool straight(const std::vector<bool>& entry, size_t first, size_t last)
{
    for (size_t at = first + 1; at <= last; ++at) {
        if (entry[at])
            return false;
    }
    return true;
}

// The number of instructions after `first` that make up `x = x op2 (y op z)
// [op3 c]` as fuseOperators describes it; 0 when they do not.
size_t updateLength(const Code& code, size_t first)
{
    const std::vector<Instr>& in = code.instrs;
    const bool local = in[first].op == OpCode::LoadLocal;
    if (!local && in[first].op != OpCode::LoadGlobal)
        return 0;
    size_t at = first + 1;
    if (at + 2 >= in.size() || (in[at].op != OpCode::LocalBinary && in[at].op != OpCode::GlobalBinary))
        return 0;
    if (in[++at].op != OpCode::Binary)
        return 0;
    if (in[at + 1].op == OpCode::BinaryConst)
        ++at;
    if (++at >= in.size())
        return 0;
    const OpCode store = local ? OpCode::StoreLocal : OpCode::StoreGlobal;
    if (in[at].op != store)
        return 0;
    // The same variable: a local by slot, a global by its bound entry.
    if (local ? in[at].a != in[first].a
              : code.names[static_cast<size_t>(in[at].a)].global == nullptr ||
                    code.names[static_cast<size_t>(in[at].a)].global !=
                        code.names[static_cast<size_t>(in[first].a)].global)
        return 0;
    return at - first;
}

// What UpdateLocal / UpdateGlobal need of the statement at `first` whose
// `length` instructions updateLength counted; false when a constant in it
// is no number, which no fast case takes, or a global in it is not bound.
bool updateSite(const Code& code, size_t first, size_t length, UpdateSite& site)
{
    auto global = [&](int32_t index) { return code.names[static_cast<size_t>(index)].global; };
    const Instr& head = code.instrs[first];
    site.x = head.a;
    if (head.op == OpCode::LoadGlobal && !(site.xGlobal = global(head.a)))
        return false;
    const Instr& operand = code.instrs[first + 1];
    site.y = operand.b;
    if (operand.op == OpCode::GlobalBinary && !(site.yGlobal = global(operand.b)))
        return false;
    site.op1 = static_cast<uint8_t>(fusedOp(operand));
    site.zKind = RightOperand::kind(operand.a);
    site.zAt = RightOperand::index(operand.a);
    if (site.zKind == OperandKind::Const) {
        InlineNumber z;
        site.z = code.constants[static_cast<size_t>(site.zAt)];
        if (!InlineNumber::from(site.z, z))
            return false;
    }
    if (site.zKind == OperandKind::Global && !(site.zGlobal = global(site.zAt)))
        return false;
    site.op2 = static_cast<uint8_t>(code.instrs[first + 2].b);
    site.hasC = length == 4;
    if (site.hasC) {
        const Instr& last = code.instrs[first + 3];
        site.op3 = static_cast<uint8_t>(last.b);
        if (!InlineNumber::from(code.constants[static_cast<size_t>(last.a)], site.c))
            return false;
    }
    site.length = static_cast<uint8_t>(length);
    site.update = updateFunction(site);
    return true;
}

// The number of arguments of the call `f(args)` that fuseOperators makes
// a DirectCall when the GlobalPrep at `first` starts one; -1 otherwise.
int directArgumentCount(const Code& code, size_t first)
{
    const std::vector<Instr>& in = code.instrs;
    size_t at = first + 1;
    for (; at < in.size(); ++at) {
        const OpCode op = in[at].op;
        if (op != OpCode::PushConst && op != OpCode::ArgLocal && op != OpCode::ArgName &&
            op != OpCode::LocalBinary && op != OpCode::GlobalBinary)
            break;
    }
    const size_t count = at - first - 1;
    if (at >= in.size() || in[at].op != OpCode::GlobalCall || in[at].a != in[first].a || in[at].b != count)
        return -1;
    return static_cast<int>(count);
}

// The records of the DirectCall the GlobalPrep at `first` becomes, its
// `count` arguments following it, added to code.directArgs: false (nothing
// added) when an argument is a name neither local nor global, which the
// general way reaches, or when the table is full.
bool addDirectArgs(Code& code, size_t first, size_t count)
{
    std::vector<DirectArg> records;
    records.push_back({DirectArg::Head, 0, static_cast<int32_t>(count)});
    for (size_t i = 0; i < count; ++i) {
        const Instr& in = code.instrs[first + 1 + i];
        DirectArg arg{DirectArg::Computed, 0, in.a};
        switch (in.op) {
        case OpCode::PushConst:
            arg.kind = DirectArg::Constant;
            break;
        case OpCode::ArgLocal:
            arg.kind = DirectArg::Local;
            break;
        case OpCode::ArgName: {
            const NameRef& n = code.names[static_cast<size_t>(in.a)];
            if (n.kind == NameKind::Local) {
                arg = {DirectArg::Local, 0, n.slot};
            } else if (n.kind != NameKind::Global) {
                return false;
            } else {
                arg.kind = DirectArg::Global;
                arg.global = n.global;
            }
            break;
        }
        case OpCode::LocalBinary: {
            // `n + 1`, `n - 2`: a local plus or minus an Integer constant.
            const Op op = fusedOp(in);
            if (RightOperand::kind(in.a) != OperandKind::Const || (op != Op::Add && op != Op::Sub))
                break;
            const Value& c = code.constants[static_cast<size_t>(RightOperand::index(in.a))];
            if (c.type() != Type::Integer)
                break;
            arg = {DirectArg::LocalStep, op == Op::Add ? c.rawLong() : -c.rawLong(), in.b};
            break;
        }
        default:
            break;
        }
        records.push_back(arg);
    }
    if (code.directArgs.size() > UINT16_MAX)
        return false;
    code.directArgs.insert(code.directArgs.end(), records.begin(), records.end());
    return true;
}

bool conditionalJump(OpCode op)
{
    return op == OpCode::JumpIfFalse || op == OpCode::JumpIfTrue;
}

// Whether the instruction at `at` is the StoreLocal of a local or the
// StoreGlobal of a global bound to its entry.
bool stored(const Code& code, size_t at)
{
    const Instr& store = code.instrs[at];
    return store.op == OpCode::StoreLocal ||
           (store.op == OpCode::StoreGlobal && code.names[static_cast<size_t>(store.a)].global);
}

// `x = y op z`: an arithmetic LocalBinary / GlobalBinary at `first` stored
// by the instruction after it.
bool binaryStore(const Code& code, size_t first)
{
    const Instr& in = code.instrs[first];
    if ((in.op != OpCode::LocalBinary && in.op != OpCode::GlobalBinary) || !isArithmetic(fusedOp(in)) ||
        first + 1 >= code.instrs.size())
        return false;
    const OpCode store = code.instrs[first + 1].op;
    return store == OpCode::StoreLocal || store == OpCode::StoreGlobal;
}

// A ChainSite operand from a RightOperand packing or a Binary* instruction
// (`kind`, `index`); false when it is a global not bound to its entry or a
// constant that is no number.
bool chainOperand(const Code& code, OperandKind kind, int32_t index, ChainOperand& o, Value& constant)
{
    o.kind = kind;
    switch (kind) {
    case OperandKind::Const: {
        constant = code.constants[static_cast<size_t>(index)];
        InlineNumber n;
        return InlineNumber::from(constant, n);
    }
    case OperandKind::Local:
        o.slot = index;
        return true;
    case OperandKind::Global:
        o.global = code.names[static_cast<size_t>(index)].global;
        return o.global != nullptr;
    }
    return false;
}

// `x = y op1 z op2 w`: an arithmetic LocalBinary / GlobalBinary at `first`,
// an arithmetic BinaryConst / BinaryLocal / BinaryGlobal and the store of a
// local or a bound global after it, every constant a number.  Settles its
// ChainSite; false when the instructions are not that.
bool chainSite(const Code& code, size_t first, ChainSite& site)
{
    const std::vector<Instr>& in = code.instrs;
    const Instr& head = in[first];
    if ((head.op != OpCode::LocalBinary && head.op != OpCode::GlobalBinary) || !isArithmetic(fusedOp(head)) ||
        first + 2 >= in.size())
        return false;
    const Instr& second = in[first + 1];
    OperandKind wKind;
    switch (second.op) {
    case OpCode::BinaryConst: wKind = OperandKind::Const; break;
    case OpCode::BinaryLocal: wKind = OperandKind::Local; break;
    case OpCode::BinaryGlobal: wKind = OperandKind::Global; break;
    default: return false;
    }
    if (!isArithmetic(static_cast<Op>(second.b)))
        return false;
    const Instr& store = in[first + 2];
    if (store.op == OpCode::StoreLocal) {
        site.x = store.a;
    } else if (store.op != OpCode::StoreGlobal || !(site.xGlobal = code.names[static_cast<size_t>(store.a)].global)) {
        return false;
    }
    site.op1 = static_cast<uint8_t>(fusedOp(head));
    site.op2 = static_cast<uint8_t>(second.b);
    site.zPacked = head.a;
    Value unused;
    const OperandKind yKind = head.op == OpCode::LocalBinary ? OperandKind::Local : OperandKind::Global;
    if (!chainOperand(code, yKind, head.b, site.y, unused) ||
        !chainOperand(code, RightOperand::kind(head.a), RightOperand::index(head.a), site.zAt, site.z) ||
        !chainOperand(code, wKind, second.a, site.wAt, site.w))
        return false;
    site.store = chainFunction(site);
    return true;
}

// `x(i, ...) = constant` as Let writes it: PushConst of anything but an
// object, AssignValue, and an ElementWrite fuseElementAccess marked.
bool constantElementWrite(const Code& code, size_t first)
{
    const std::vector<Instr>& in = code.instrs;
    return in[first].op == OpCode::PushConst && first + 2 < in.size() && in[first + 1].op == OpCode::AssignValue &&
           in[first + 1].flags == 0 && in[first + 2].op == OpCode::ElementWrite &&
           !code.constants[static_cast<size_t>(in[first].a)].isObject();
}

// The position of the conditional jump right after the element read that
// fuseElementAccess marked at `first`; 0 when there is none.
size_t elementReadJump(const Code& code, size_t first)
{
    const Instr& in = code.instrs[first];
    if (in.op != OpCode::ElementRead && in.op != OpCode::CalleeElementRead)
        return 0;
    const size_t jump = first + in.b + 2;
    return jump < code.instrs.size() && conditionalJump(code.instrs[jump].op) ? jump : 0;
}

// The PlaceFlags of the name at `index`.
uint8_t placeFlags(const Code& code, int32_t index)
{
    const NameKind kind = code.names[static_cast<size_t>(index)].kind;
    return kind == NameKind::Local ? kPlacedLocal : kind == NameKind::Global ? kPlacedGlobal : 0;
}

// The ElementFlags of the element access at `first` whose `count`
// subscript loads follow it.
uint8_t elementFlags(const Code& code, size_t first, size_t count)
{
    const Instr& head = code.instrs[first];
    // GlobalPrep and LoadCallee take any flags as "has arguments".
    if (head.op != OpCode::IndexedPrep && !(head.flags & 1))
        return 0;
    uint8_t flags = 0;
    if (head.op == OpCode::IndexedPrep || head.op == OpCode::LoadCallee)
        flags |= placeFlags(code, head.a);
    if (count != 1)
        return flags;
    const Instr& load = code.instrs[first + 1];
    if (load.op == OpCode::LoadLocal || load.op == OpCode::ArgLocal)
        return flags | kOneSubscript | kSubscriptLocal;
    if (code.names[static_cast<size_t>(load.a)].kind == NameKind::Global)
        return flags | kOneSubscript;
    return flags;
}

// Settles where the counter of the loop whose ForNext is at `at` is, in its
// ForLoopInfo, and makes the ForNext the form that reaches it there (an Up
// form when the loop has no Step: its ForStart, right before the body the
// ForNext goes back to, takes none).
void placeForCounter(Code& code, size_t at)
{
    Instr& in = code.instrs[at];
    ForLoopInfo& loop = code.forLoops[in.b];
    const NameRef& counter = code.names[static_cast<size_t>(loop.counter)];
    const Instr* start = in.a >= 1 && static_cast<size_t>(in.a) <= at ? &code.instrs[static_cast<size_t>(in.a) - 1] : nullptr;
    const bool up = start && start->op == OpCode::ForStart && start->b == in.b && start->flags == 0;
    loop.slotsAt = static_cast<ptrdiff_t>(loop.slots) * static_cast<ptrdiff_t>(sizeof(Value));
    if (counter.kind == NameKind::Local) {
        loop.counterAt = static_cast<ptrdiff_t>(counter.slot) * static_cast<ptrdiff_t>(sizeof(Value));
        in.op = up ? OpCode::ForNextLocalUp : OpCode::ForNextLocal;
    } else if (counter.kind == NameKind::Global && counter.global) {
        loop.counterGlobal = counter.global;
        in.op = up ? OpCode::ForNextGlobalUp : OpCode::ForNextGlobal;
    }
}

// Whether names[index] is a Global name bound to its runtime entry.
bool boundGlobal(const Code& code, int32_t index)
{
    const NameRef& n = code.names[static_cast<size_t>(index)];
    return n.kind == NameKind::Global && n.global;
}

// The form of the ConstElementWrite at `at` for one subscript when the
// array of its ElementWrite and the subscript are both Global names bound
// to their entries or both Local names, and the constant needs no
// reference counting.
void oneElementWrite(Code& code, size_t at)
{
    Instr& in = code.instrs[at];
    const Instr& write = code.instrs[at + 2];
    if (!(write.flags & kOneSubscript) || code.constants[static_cast<size_t>(in.a)].type() >= Type::String)
        return;
    const Instr& subscript = code.instrs[at + 3];
    if ((write.flags & kPlacedGlobal) && !(write.flags & kSubscriptLocal) && boundGlobal(code, write.a) &&
        boundGlobal(code, subscript.a)) {
        in.op = OpCode::ConstElementWriteGlobal;
        return;
    }
    const int slot = code.names[static_cast<size_t>(write.a)].slot;
    if ((write.flags & kPlacedLocal) && (write.flags & kSubscriptLocal) && slot >= 0 && slot <= UINT16_MAX) {
        in.op = OpCode::ConstElementWriteLocal;
        in.b = static_cast<uint16_t>(slot);
    }
}

// The form of the ElementReadJump / CalleeElementReadJump at `at` for one
// subscript in the same kind of place as the array, a global bound to its
// entry.
void oneElementReadJump(Code& code, size_t at)
{
    Instr& in = code.instrs[at];
    if (!(in.flags & kOneSubscript))
        return;
    const Instr& subscript = code.instrs[at + 1];
    if (in.op == OpCode::ElementReadJump && !(in.flags & kSubscriptLocal) && boundGlobal(code, in.a) &&
        boundGlobal(code, subscript.a))
        in.op = OpCode::ElementReadJumpGlobal;
    else if (in.op == OpCode::CalleeElementReadJump && (in.flags & kPlacedLocal) && (in.flags & kSubscriptLocal))
        in.op = OpCode::CalleeElementReadJumpLocal;
}

// Whether the load `load` of a subscript reads a Global name bound to its
// entry (global) or a Local name.
bool placedSubscript(const Code& code, const Instr& load, bool global)
{
    if (global)
        return (load.op == OpCode::LoadGlobal || load.op == OpCode::ArgName) && boundGlobal(code, load.a);
    return load.op == OpCode::LoadLocal || load.op == OpCode::ArgLocal;
}

// Whether the element access at `at` that fuseElementAccess marked has two
// subscripts in the same kind of place as its array: all Global names
// bound to their entries (global) or all Local names.
bool twoPlacedSubscripts(const Code& code, size_t at, bool global)
{
    const Instr& in = code.instrs[at];
    if (in.b != 2)
        return false;
    if (global) {
        const bool globalArray = in.op == OpCode::ElementRead || (in.flags & kPlacedGlobal);
        if (!globalArray || !boundGlobal(code, in.a))
            return false;
    } else if (!(in.flags & kPlacedLocal) || code.names[static_cast<size_t>(in.a)].slot < 0) {
        return false;
    }
    return placedSubscript(code, code.instrs[at + 1], global) && placedSubscript(code, code.instrs[at + 2], global);
}

// The form of the ElementWrite at `at` for two subscripts in the same kind
// of place as its array.
void twoElementWrite(Code& code, size_t at)
{
    Instr& in = code.instrs[at];
    if (twoPlacedSubscripts(code, at, true)) {
        in.op = OpCode::ElementWriteTwoGlobal;
    } else if (twoPlacedSubscripts(code, at, false)) {
        in.op = OpCode::ElementWriteTwoLocal;
        in.a = code.names[static_cast<size_t>(in.a)].slot;
    }
}

// `x = x op a(i, j)` from the load of x at `first` as ElementUpdateGlobal /
// ElementUpdateLocal take it: the number of instructions after `first`
// that it covers, 0 when it is not that statement.
size_t elementUpdate(Code& code, size_t first)
{
    const std::vector<Instr>& in = code.instrs;
    const bool global = in[first].op == OpCode::LoadGlobal;
    if ((!global && in[first].op != OpCode::LoadLocal) || first + 6 >= in.size())
        return 0;
    const Instr& read = in[first + 1];
    const OpCode readOp = global ? OpCode::ElementRead : OpCode::CalleeElementRead;
    if (read.op != readOp || !twoPlacedSubscripts(code, first + 1, global))
        return 0;
    if (!global && code.names[static_cast<size_t>(read.a)].slot > UINT16_MAX)
        return 0;
    const Instr& binary = in[first + 5];
    const Instr& store = in[first + 6];
    if (binary.op != OpCode::Binary || !isArithmetic(static_cast<Op>(binary.b)))
        return 0;
    if (global ? store.op != OpCode::StoreGlobal || !boundGlobal(code, in[first].a) ||
                     code.names[static_cast<size_t>(store.a)].global != code.names[static_cast<size_t>(in[first].a)].global
               : store.op != OpCode::StoreLocal || store.a != in[first].a)
        return 0;
    return 6;
}

// A LocalCompareJump at `at` with a whole-number constant on the right
// becomes a LocalConstCompareJump.
void constantCompared(Code& code, size_t at)
{
    Instr& in = code.instrs[at];
    Instr& jump = code.instrs[at + 1];
    if (in.op != OpCode::LocalCompareJump || RightOperand::kind(in.a) != OperandKind::Const)
        return;
    const int32_t index = RightOperand::index(in.a);
    const Value& constant = code.constants[static_cast<size_t>(index)];
    if (!isIntegerOrLong(constant) || index > UINT16_MAX)
        return;
    in.op = OpCode::LocalConstCompareJump;
    in.a = constant.rawLong();
    jump.b = static_cast<uint16_t>(index);
}

} // namespace

void fuseOperators(Code& code)
{
    const std::vector<bool> entry = entryPoints(code);
    std::vector<Instr>& instrs = code.instrs;
    for (size_t i = 0; i + 1 < instrs.size(); ++i) {
        Instr& in = instrs[i];
        if (in.op == OpCode::ForNext) {
            placeForCounter(code, i);
            continue;
        }
        if ((in.op == OpCode::LocalBinary || in.op == OpCode::GlobalBinary) && isWholeComparison(fusedOp(in)) &&
            conditionalJump(instrs[i + 1].op) && straight(entry, i, i + 1)) {
            in.op = in.op == OpCode::LocalBinary ? OpCode::LocalCompareJump : OpCode::GlobalCompareJump;
            constantCompared(code, i);
            continue;
        }
        if (ChainSite site; chainSite(code, i, site) && straight(entry, i, i + 2)) {
            in.op = in.op == OpCode::LocalBinary ? OpCode::LocalChainStore : OpCode::GlobalChainStore;
            in.a = static_cast<int32_t>(code.chains.size());
            code.chains.push_back(site);
            i += 2;
            continue;
        }
        if (in.op == OpCode::LoadLocal && stored(code, i + 1) && straight(entry, i, i + 1)) {
            in.op = OpCode::LocalCopy;
            ++i;
            continue;
        }
        if ((in.op == OpCode::Binary || in.op == OpCode::BinaryConst) && isArithmetic(static_cast<Op>(in.b)) &&
            stored(code, i + 1) && straight(entry, i, i + 1)) {
            in.op = in.op == OpCode::Binary ? OpCode::BinaryStore : OpCode::BinaryConstStore;
            ++i;
            continue;
        }
        if (binaryStore(code, i) && straight(entry, i, i + 1)) {
            in.op = in.op == OpCode::LocalBinary ? OpCode::LocalBinaryStore : OpCode::GlobalBinaryStore;
            ++i;
            continue;
        }
        if (constantElementWrite(code, i) && straight(entry, i, i + 2)) {
            in.op = OpCode::ConstElementWrite;
            oneElementWrite(code, i);
            // Its ElementWrite stays as it is: ConstElementWrite reads it.
            i += 2;
            continue;
        }
        if (in.op == OpCode::ElementWrite) {
            twoElementWrite(code, i);
            continue;
        }
        if (const size_t length = elementUpdate(code, i); length > 0 && straight(entry, i, i + length)) {
            in.op = in.op == OpCode::LoadGlobal ? OpCode::ElementUpdateGlobal : OpCode::ElementUpdateLocal;
            if (in.op == OpCode::ElementUpdateLocal)
                in.b = static_cast<uint16_t>(code.names[static_cast<size_t>(instrs[i + 1].a)].slot);
            i += length;
            continue;
        }
        if (const size_t jump = elementReadJump(code, i); jump > 0 && straight(entry, i, jump)) {
            in.op = in.op == OpCode::ElementRead ? OpCode::ElementReadJump : OpCode::CalleeElementReadJump;
            oneElementReadJump(code, i);
            i = jump;
            continue;
        }
        if (in.op == OpCode::GlobalPrep) {
            const int count = directArgumentCount(code, i);
            const size_t records = code.directArgs.size();
            if (count >= 0 && straight(entry, i, i + static_cast<size_t>(count) + 1) &&
                addDirectArgs(code, i, static_cast<size_t>(count))) {
                in.op = OpCode::DirectCall;
                in.b = static_cast<uint16_t>(records);
            }
            continue;
        }
        UpdateSite site;
        if (const size_t length = updateLength(code, i); length > 0 && straight(entry, i, i + length) &&
            code.updates.size() <= UINT16_MAX && updateSite(code, i, length, site)) {
            in.op = in.op == OpCode::LoadLocal ? OpCode::UpdateLocal : OpCode::UpdateGlobal;
            in.b = static_cast<uint16_t>(code.updates.size());
            code.updates.push_back(site);
            i += length;
        }
    }
}

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
            in.flags |= elementFlags(code, i, count);
            in.op = OpCode::ElementRead;
            in.b = static_cast<uint16_t>(count);
        } else if (in.op == OpCode::LoadCallee &&
                   (count = fusable(code, entry, i, OpCode::LoadLocal, OpCode::LoadGlobal, OpCode::Index)) > 0) {
            in.flags |= elementFlags(code, i, count);
            in.op = OpCode::CalleeElementRead;
            in.b = static_cast<uint16_t>(count);
        } else if (in.op == OpCode::IndexedPrep &&
                   (count = fusable(code, entry, i, OpCode::LoadLocal, OpCode::LoadGlobal, OpCode::StoreIndexed)) > 0) {
            in.flags |= elementFlags(code, i, count);
            in.op = OpCode::ElementWrite;
            in.b = static_cast<uint16_t>(count);
        }
    }
}

} // namespace quillet::script
