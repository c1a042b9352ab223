// The compiled form itself, where running a script cannot show it: loops
// jump backwards, every instruction maps to its statement's line, and the
// statement table sends On Error Resume Next to the right place.
#include "script/core/compiler.h"
#include "script/core/parser.h"
#include "script/core/superinstructions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace quillet::script {
namespace {

struct Compiled {
    std::unique_ptr<CodeUnit> unit;
    std::unique_ptr<Code> code;
};

// The top level of `source`, compiled with every name taken for a global
// (which globals they are does not change the shape of the code).
Compiled compileTopLevel(const Text& source)
{
    Compiled c;
    c.unit = std::make_unique<CodeUnit>();
    c.unit->source = source;
    parseUnit(*c.unit, ParseMode::Program);
    for (NameExpr* n : c.unit->topLevel->names) {
        n->resolved = NameKind::Global;
        n->slot = 0;
    }
    c.code = compileBody(*c.unit->topLevel);
    return c;
}

std::vector<size_t> positionsOf(const Code& code, OpCode op)
{
    std::vector<size_t> at;
    for (size_t i = 0; i < code.instrs.size(); ++i) {
        if (code.instrs[i].op == op)
            at.push_back(i);
    }
    return at;
}

TEST(Compiler, LoopsEndInABackwardJumpOverTheirBody)
{
    const Compiled c = compileTopLevel(u"For i = 1 To 3\n  x = x + i\nNext\nDo While x > 0\n  x = x - 1\nLoop\n");
    const Code& code = *c.code;
    const auto forNext = positionsOf(code, OpCode::ForNext);
    const auto loopBack = positionsOf(code, OpCode::LoopBack);
    ASSERT_EQ(1u, forNext.size());
    ASSERT_EQ(1u, loopBack.size());
    // Each goes back to an earlier instruction, and the body's store lies
    // between the target and the jump.
    for (size_t jump : {forNext[0], loopBack[0]}) {
        const auto target = static_cast<size_t>(code.instrs[jump].a);
        EXPECT_LT(target, jump);
        const auto stores = positionsOf(code, OpCode::StoreGlobal);
        EXPECT_TRUE(std::any_of(stores.begin(), stores.end(), [&](size_t s) { return s >= target && s < jump; }));
    }
    // The Do loop's test at the top leaves past the backward jump.
    const auto exits = positionsOf(code, OpCode::JumpIfFalse);
    ASSERT_FALSE(exits.empty());
    EXPECT_EQ(loopBack[0] + 1, static_cast<size_t>(code.instrs[exits.back()].a));
}

TEST(Compiler, EveryInstructionMapsToTheInnermostStatementsLine)
{
    const Compiled c = compileTopLevel(u"a = 1\nFor i = 1 To 2\n  b = i\n  c = b\nNext\nd = 4\n");
    const Code& code = *c.code;
    auto lineOfStore = [&](size_t nth) {
        return code.statementAt(positionsOf(code, OpCode::StoreGlobal)[nth]).line;
    };
    EXPECT_EQ(1, lineOfStore(0));
    EXPECT_EQ(3, lineOfStore(1)); // inside the loop: its own line, not the For's
    EXPECT_EQ(4, lineOfStore(2));
    EXPECT_EQ(6, lineOfStore(3));
    // Stepping the loop (where a stop request is noticed) belongs to the For.
    EXPECT_EQ(2, code.statementAt(positionsOf(code, OpCode::ForNext)[0]).line);
    EXPECT_EQ(2, code.statementAt(positionsOf(code, OpCode::ForStart)[0]).line);
}

TEST(Compiler, ResumePointsFollowTheStatement)
{
    const Compiled c = compileTopLevel(u"a = 1\nIf a Then\n  b = 2\nElse\n  b = 3\nEnd If\nc = 4\n");
    const Code& code = *c.code;
    const auto stores = positionsOf(code, OpCode::StoreGlobal);
    ASSERT_EQ(4u, stores.size());
    // A simple statement goes on with the next one.
    const StatementEntry& first = code.statementAt(stores[0]);
    EXPECT_EQ(stores[0] + 1, first.resume);
    // An error in the If condition goes on into the Then part; running out
    // of memory there goes past the whole If.
    const StatementEntry& condition = code.statementAt(positionsOf(code, OpCode::JumpIfFalse)[0]);
    EXPECT_EQ(2, condition.line);
    EXPECT_EQ(positionsOf(code, OpCode::JumpIfFalse)[0] + 1, condition.resume);
    EXPECT_EQ(code.statementAt(stores[3]).start, condition.resumeAfter);
}

TEST(Compiler, LeavingAForEachEarlyReleasesItsIterator)
{
    const Compiled c = compileTopLevel(u"Do\n  For Each x In y\n    If x Then Exit Do\n  Next\nLoop\n");
    const Code& code = *c.code;
    const auto release = positionsOf(code, OpCode::ForEachEnd);
    ASSERT_EQ(1u, release.size());
    // The Exit Do releases, then jumps past the Do loop.
    ASSERT_LT(release[0] + 1, code.instrs.size());
    const Instr& jump = code.instrs[release[0] + 1];
    EXPECT_EQ(OpCode::Jump, jump.op);
    EXPECT_EQ(positionsOf(code, OpCode::LoopBack)[0] + 1, static_cast<size_t>(jump.a));
    // An error taking the next element resumes after the loop, without it.
    const StatementEntry& next = code.statementAt(positionsOf(code, OpCode::ForEachNext)[0]);
    EXPECT_EQ(1u, next.releaseOnResume);
    ASSERT_GE(next.holdingsCount, 1u);
    EXPECT_EQ(Holding::Iterator, code.holdings[next.holdingsBegin].kind);
}

TEST(Compiler, TheStackIsSizedForTheDeepestExpression)
{
    const Compiled shallow = compileTopLevel(u"x = 1\n");
    const Compiled deep = compileTopLevel(u"x = f(1, g(2, h(3, 4)))\n");
    EXPECT_EQ(1, shallow.code->maxStack);
    // At the deepest: f's callee and mode, 1, g's callee and mode, 2, h's
    // callee and mode, 3, 4.
    EXPECT_EQ(10, deep.code->maxStack);
}

TEST(Compiler, OperatorsReadVariablesAndConstantsInPlace)
{
    // `x = (y + z * 7) Mod 3`: y is pushed (the right side is no single
    // operand), z * 7 reads both operands in one instruction, + takes the
    // stack, Mod its constant in place.
    const Compiled c = compileTopLevel(u"x = (y + z * 7) Mod 3\n");
    std::vector<OpCode> ops;
    for (const Instr& in : c.code->instrs)
        ops.push_back(in.op);
    const std::vector<OpCode> expected{OpCode::LoadGlobal, OpCode::GlobalBinary, OpCode::Binary,
                                       OpCode::BinaryConst, OpCode::StoreGlobal, OpCode::Return};
    EXPECT_EQ(expected, ops);
    const Instr& fused = c.code->instrs[1];
    EXPECT_EQ(Op::Mul, static_cast<Op>(fused.flags >> kBinaryOpShift));
    EXPECT_EQ(OperandKind::Const, RightOperand::kind(fused.a));
    EXPECT_EQ(7, c.code->constants[static_cast<size_t>(RightOperand::index(fused.a))].rawLong());
    // A call on the right is evaluated after the left operand was pushed.
    const Compiled call = compileTopLevel(u"x = y + f(1)\n");
    EXPECT_EQ(OpCode::LoadGlobal, call.code->instrs[0].op);
    const auto calls = positionsOf(*call.code, OpCode::GlobalCall);
    const auto adds = positionsOf(*call.code, OpCode::Binary);
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, adds.size());
    EXPECT_LT(calls[0], adds[0]);
}

TEST(Compiler, NestedArgumentsThatMayBeElementsCompileOnce)
{
    // `a(b(c(...)))` passed to a procedure: each may be an array element
    // going by reference or a call, decided at run time.  The code must
    // grow with the nesting, not double at each level.
    Text source = u"Call f(";
    for (int i = 0; i < 12; ++i)
        source += u"a" + fromUtf8(std::to_string(i)) + u"(";
    source += u"1";
    source.append(13, u')');
    source += u"\n";
    const Compiled c = compileTopLevel(source);
    EXPECT_LT(c.code->instrs.size(), 12u * 4);
}

TEST(Compiler, ElementAccessAtVariableSubscriptsIsMarkedInPlace)
{
    Compiled c = compileTopLevel(u"y = a(i, j)\na(i) = y\ny = a((i))\na(i + 1) = y\n");
    Code& code = *c.code;
    const std::vector<Instr> before = code.instrs;
    fuseElementAccess(code);
    // Only the first instruction of each sequence changes, and it carries
    // the number of subscripts; the rest stays for the general way.
    ASSERT_EQ(before.size(), code.instrs.size());
    const auto reads = positionsOf(code, OpCode::ElementRead);
    const auto writes = positionsOf(code, OpCode::ElementWrite);
    ASSERT_EQ(1u, reads.size());
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(OpCode::GlobalPrep, before[reads[0]].op);
    EXPECT_EQ(2, code.instrs[reads[0]].b);
    EXPECT_EQ(OpCode::IndexedPrep, before[writes[0]].op);
    EXPECT_EQ(1, code.instrs[writes[0]].b);
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i].op != code.instrs[i].op;
    EXPECT_EQ(2u, changed); // (i) and i + 1 are no plain variables
}

TEST(Compiler, StatementFormsMarkOnlyTheirFirstInstruction)
{
    Compiled c = compileTopLevel(u"x = a + b\nx = a < b\nx = a + b + 1\ns(i) = True\ns(i) = y\n"
                                 u"If s(i) Then y = 1\ny = s(i)\n");
    Code& code = *c.code;
    fuseElementAccess(code);
    const std::vector<Instr> before = code.instrs;
    fuseOperators(code);
    ASSERT_EQ(before.size(), code.instrs.size());
    // Arithmetic stored straight away, not a comparison nor a longer chain.
    const auto stores = positionsOf(code, OpCode::GlobalBinaryStore);
    ASSERT_EQ(1u, stores.size());
    EXPECT_EQ(OpCode::StoreGlobal, code.instrs[stores[0] + 1].op);
    // A constant written to an element, not a variable.
    const auto constants = positionsOf(code, OpCode::ConstElementWrite);
    ASSERT_EQ(1u, constants.size());
    EXPECT_EQ(OpCode::PushConst, before[constants[0]].op);
    EXPECT_EQ(2u, positionsOf(code, OpCode::ElementWrite).size());
    // An element read as a condition, not one assigned.
    const auto tests = positionsOf(code, OpCode::ElementReadJump);
    ASSERT_EQ(1u, tests.size());
    EXPECT_EQ(OpCode::ElementRead, before[tests[0]].op);
    EXPECT_EQ(OpCode::JumpIfFalse, code.instrs[tests[0] + code.instrs[tests[0]].b + 2].op);
    EXPECT_EQ(1u, positionsOf(code, OpCode::ElementRead).size());
    // Everything after each marked instruction is as it was, for the way back.
    for (size_t at : {stores[0], constants[0], tests[0]}) {
        for (size_t k = at + 1; k < at + 3; ++k)
            EXPECT_EQ(before[k].op, code.instrs[k].op) << k;
    }
}

} // namespace
} // namespace quillet::script
