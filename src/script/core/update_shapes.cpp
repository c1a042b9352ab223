#include "script/core/update_shapes.h"

#include "script/core/binary_op.h"
#include "script/core/runtime.h"

#include <cmath>
#include <cstdint>
#include <new>

namespace quillet::script {
namespace {

// A variable of the statement into `v`: local slot `at` (through a
// reference), or the global `g` when it is a declared variable; false
// otherwise.  (A global read without a declaration holds Empty, unless a
// call wrote it through a reference: either way the general way reads it
// as it should.)
[[gnu::always_inline]] inline bool variableAt(GlobalEntry* g, int32_t at, Value* locals, Value*& v)
{
    if (!g) {
        v = &locals[at].deref();
        return true;
    }
    v = &g->value;
    return g->kind == GlobalKind::Variable;
}

// x, y and z of `site` (z the site's constant or a variable; `zConst`:
// known to be the constant); false when a global among them is no
// declared variable.
template <bool zConst = false>
[[gnu::always_inline]] inline bool operands(const UpdateSite& site, Value* locals, Value*& x, const Value*& y,
                                            const Value*& z)
{
    Value* v;
    if (!variableAt(site.xGlobal, site.x, locals, x) || !variableAt(site.yGlobal, site.y, locals, v))
        return false;
    y = v;
    if (zConst || site.zKind == OperandKind::Const) {
        z = &site.z;
        return true;
    }
    if (!variableAt(site.zGlobal, site.zAt, locals, v))
        return false;
    z = v;
    return true;
}

// A type less Integer's number: 0 for an Integer, 1 for a Long, so that
// or-ing those of several values tells at once whether all are Integers or
// Longs (at most 1) and whether all are Integers (0).
[[gnu::always_inline]] inline unsigned wholeBits(Type t)
{
    return static_cast<unsigned>(t) - static_cast<unsigned>(Type::Integer);
}

// Whether a whole number fits a Long, an Integer; or-ing the biased values
// of several tells at once whether all fit.
[[gnu::always_inline]] inline uint64_t longBias(int64_t v) { return uint64_t(v) + (uint64_t(1) << 31); }
[[gnu::always_inline]] inline uint64_t integerBias(int64_t v) { return uint64_t(v) + (uint64_t(1) << 15); }

// `l op r` in whole numbers.  + - * wrap instead of overflowing (a result
// out of the Long range goes the general way anyway, whatever it is); Mod
// only by a constant that is neither 0 nor -1 (updateFunction sees to it),
// the divisors applyInline leaves to the general rules.
template <Op op>
[[gnu::always_inline]] inline int64_t wholeStep(int64_t l, int64_t r)
{
    if constexpr (op == Op::Add) {
        return static_cast<int64_t>(uint64_t(l) + uint64_t(r));
    } else if constexpr (op == Op::Sub) {
        return static_cast<int64_t>(uint64_t(l) - uint64_t(r));
    } else if constexpr (op == Op::Mul) {
        return static_cast<int64_t>(uint64_t(l) * uint64_t(r));
    } else {
        static_assert(op == Op::Mod);
        return l % r;
    }
}

template <Op op>
[[gnu::always_inline]] inline double realStep(double l, double r)
{
    if constexpr (op == Op::Add)
        return l + r;
    else if constexpr (op == Op::Sub)
        return l - r;
    else if constexpr (op == Op::Mul)
        return l * r;
    else {
        static_assert(op == Op::Div);
        return l / r;
    }
}

// A number as the double applyInline takes it in a step with a Double.
[[gnu::always_inline]] inline bool realOf(const Value& v, double& d)
{
    if (v.type() == Type::Double) {
        d = v.rawDouble();
        return true;
    }
    d = static_cast<double>(v.rawLong());
    return wholeBits(v.type()) <= 1;
}

template <Op op>
constexpr bool wholeOp = op == Op::Add || op == Op::Sub || op == Op::Mul;
template <Op op>
constexpr bool realOp = op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Div;

// `x = x op2 (y op1 z) [op3 c]` for the operators it is built for (kShapes:
// op1 + - * or /, op2 + or -, op3 Mod or none without `hasC`), with z the
// site's constant when `zConst`.  updateFunction picks it only for sites
// whose c, if any, is a whole number other than 0 and -1.
template <Op op1, Op op2, Op op3, bool hasC, bool zConst>
bool updateShaped(const UpdateSite& site, Value* locals)
{
    Value* x;
    const Value *y, *z;
    if (!operands<zConst>(site, locals, x, y, z))
        return false;
    if constexpr (wholeOp<op1>) {
        // All whole numbers: int64 steps, each result in the Long range, and
        // an Integer only when every operand is one and every step fits
        // one, as applyInline's Integer-then-Long rule gives step by step.
        const unsigned types =
            wholeBits(x->type()) | wholeBits(y->type()) | (zConst ? 0u : wholeBits(z->type())) | site.constantBits;
        if (types <= 1) {
            const int64_t v1 = wholeStep<op1>(y->rawLong(), z->rawLong());
            const int64_t v2 = wholeStep<op2>(x->rawLong(), v1);
            uint64_t longs = longBias(v1) | longBias(v2);
            uint64_t integers = integerBias(v1) | integerBias(v2);
            int64_t result = v2;
            if constexpr (hasC) {
                const int64_t v3 = wholeStep<op3>(v2, site.c.whole);
                longs |= longBias(v3);
                integers |= integerBias(v3);
                result = v3;
            }
            if (longs >> 32)
                return updateGeneral(site, locals);
            // x was found holding a number, which has nothing to release.
            ::new (static_cast<void*>(x))
                Value(types == 0 && integers >> 16 == 0 ? Value::integer(static_cast<int16_t>(result))
                                                        : Value::longInt(static_cast<int32_t>(result)));
            return true;
        }
    }
    if constexpr (realOp<op1> && !hasC) {
        // A Double from the first step on: both steps in doubles (a Double
        // meets Mod only under the general rules).  Only the end is tested
        // for being finite: with op2 + or -, a first step that is not (a
        // division by zero among them) leaves the end infinite or undefined
        // too, and the general rules then give the error.
        if (op1 == Op::Div || y->type() == Type::Double || z->type() == Type::Double) {
            double xd, yd, zd;
            if (!realOf(*x, xd) || !realOf(*y, yd))
                return false;
            if constexpr (zConst)
                zd = site.zReal;
            else if (!realOf(*z, zd))
                return false;
            const double v = realStep<op2>(xd, realStep<op1>(yd, zd));
            if (!std::isfinite(v))
                return false;
            ::new (static_cast<void*>(x)) Value(Value::dbl(v));
            return true;
        }
    }
    return updateGeneral(site, locals);
}

struct Shape {
    Op op1, op2;
    bool hasC;
    Op op3;
    UpdateFn variable; // z a variable
    UpdateFn constant; // z a constant
};

template <Op op1, Op op2>
constexpr Shape plain{op1, op2, false, Op::Add, updateShaped<op1, op2, Op::Add, false, false>,
                      updateShaped<op1, op2, Op::Add, false, true>};
template <Op op1, Op op2>
constexpr Shape modulo{op1, op2, true, Op::Mod, updateShaped<op1, op2, Op::Mod, true, false>,
                       updateShaped<op1, op2, Op::Mod, true, true>};

// The common shapes: a sum or difference of a variable and a step
// `y op1 z`, optionally kept in range by `Mod c`.
constexpr Shape kShapes[] = {
    plain<Op::Add, Op::Add>,  plain<Op::Sub, Op::Add>,  plain<Op::Mul, Op::Add>,  plain<Op::Div, Op::Add>,
    plain<Op::Add, Op::Sub>,  plain<Op::Sub, Op::Sub>,  plain<Op::Mul, Op::Sub>,  plain<Op::Div, Op::Sub>,
    modulo<Op::Add, Op::Add>, modulo<Op::Sub, Op::Add>, modulo<Op::Mul, Op::Add>,
    modulo<Op::Add, Op::Sub>, modulo<Op::Sub, Op::Sub>, modulo<Op::Mul, Op::Sub>,
};

// One operand of a chain: the site's constant `c`, a local (through a
// reference), or a global when it is a declared variable (null otherwise).
[[gnu::always_inline]] inline const Value* chainOperand(const ChainOperand& o, const Value& c, Value* locals)
{
    switch (o.kind) {
    case OperandKind::Const:
        return &c;
    case OperandKind::Local:
        return &locals[o.slot].deref();
    case OperandKind::Global:
        return o.global->kind == GlobalKind::Variable ? &o.global->value : nullptr;
    }
    return nullptr;
}

// x, y, z and w of a chain; false when a global among them is no declared
// variable.
[[gnu::always_inline]] inline bool chainOperands(const ChainSite& site, Value* locals, Value*& x, const Value*& y,
                                                 const Value*& z, const Value*& w)
{
    if (!variableAt(site.xGlobal, site.x, locals, x))
        return false;
    y = chainOperand(site.y, site.z, locals);
    z = chainOperand(site.zAt, site.z, locals);
    w = chainOperand(site.wAt, site.w, locals);
    return y && z && w;
}

// The same when x and y are locals and z and w locals or constants, the
// commonest chain in a procedure's body (chainFunction picks it then):
// `places` says which of z and w are constants (bit 0: z, bit 1: w).
template <int places>
[[gnu::always_inline]] inline void localChainOperands(const ChainSite& site, Value* locals, Value*& x,
                                                      const Value*& y, const Value*& z, const Value*& w)
{
    x = &locals[site.x].deref();
    y = &locals[site.y.slot].deref();
    z = places & 1 ? &site.z : &locals[site.zAt.slot].deref();
    w = places & 2 ? &site.w : &locals[site.wAt.slot].deref();
}

// chainShaped() in doubles, once the operands are found and x holds no
// text, array or object.  Apart, so that the whole-number way keeps
// nothing in registers a call must save.
template <Op op1, Op op2>
[[gnu::noinline]] bool chainReal(const ChainSite& site, Value* locals, Value* x, const Value* y, const Value* z,
                                 const Value* w)
{
    double yd, zd, wd;
    if (!realOf(*y, yd) || !realOf(*z, zd) || !realOf(*w, wd))
        return false;
    const double v = realStep<op2>(realStep<op1>(yd, zd), wd);
    if (!std::isfinite(v))
        return chainGeneral(site, locals);
    ::new (static_cast<void*>(x)) Value(Value::dbl(v));
    return true;
}

// `x = y op1 z op2 w` for op1 and op2 each + - * or /.  Whole numbers go
// through int64 when neither step divides; a Double among the operands or
// a division takes both steps in doubles, which gives what applyInline
// gives step by step: a whole first step is exact in a double (or rounded
// once, as applyInline rounds a product past the Long range), and a step
// that is not finite leaves the end not finite, which goes the general
// way (so do division by zero and overflow).
// `places`: -1 for any places, else x and y locals and z and w as
// localChainOperands takes them.
template <Op op1, Op op2, int places>
bool chainShaped(const ChainSite& site, Value* locals)
{
    Value* x;
    const Value *y, *z, *w;
    if constexpr (places >= 0)
        localChainOperands<places>(site, locals, x, y, z, w);
    else if (!chainOperands(site, locals, x, y, z, w))
        return false;
    // An x holding text, an array or an object goes the general way, which
    // releases it: the rest makes its result over x and calls nothing
    // (but the general way, last), so it needs no frame of its own.
    if (x->type() >= Type::String) [[unlikely]]
        return chainGeneral(site, locals);
    if constexpr (wholeOp<op1> && wholeOp<op2>) {
        const unsigned types = wholeBits(y->type()) | wholeBits(z->type()) | wholeBits(w->type());
        if (types <= 1) {
            const int64_t v1 = wholeStep<op1>(y->rawLong(), z->rawLong());
            const int64_t v2 = wholeStep<op2>(v1, w->rawLong());
            if ((longBias(v1) | longBias(v2)) >> 32)
                return chainGeneral(site, locals);
            ::new (static_cast<void*>(x)) Value(types == 0 && (integerBias(v1) | integerBias(v2)) >> 16 == 0
                                                    ? Value::integer(static_cast<int16_t>(v2))
                                                    : Value::longInt(static_cast<int32_t>(v2)));
            return true;
        }
    }
    return chainReal<op1, op2>(site, locals, x, y, z, w);
}

template <Op op1, int places>
constexpr ChainFn chainsFor[] = {chainShaped<op1, Op::Add, places>, chainShaped<op1, Op::Sub, places>,
                                 chainShaped<op1, Op::Mul, places>, chainShaped<op1, Op::Div, places>};

template <int places>
constexpr const ChainFn* chainsAt[] = {chainsFor<Op::Add, places>, chainsFor<Op::Sub, places>,
                                       chainsFor<Op::Mul, places>, chainsFor<Op::Div, places>};

// By the places (any, then x and y locals with z and w locals or
// constants as localChainOperands numbers them), then op1 and op2 in the
// order + - * /.
constexpr const ChainFn* const* kChains[] = {chainsAt<-1>, chainsAt<0>, chainsAt<1>, chainsAt<2>, chainsAt<3>};

// The place of an operator among + - * /, or -1.
int chainIndex(Op op)
{
    switch (op) {
    case Op::Add: return 0;
    case Op::Sub: return 1;
    case Op::Mul: return 2;
    case Op::Div: return 3;
    default: return -1;
    }
}

} // namespace

bool chainGeneral(const ChainSite& site, Value* locals)
{
    Value* x;
    const Value *y, *z, *w;
    InlineNumber result, r1, r2;
    if (!chainOperands(site, locals, x, y, z, w) || !InlineNumber::from(*y, result) || !InlineNumber::from(*z, r1) ||
        !InlineNumber::from(*w, r2) || !applyInline(static_cast<Op>(site.op1), result, r1) ||
        !applyInline(static_cast<Op>(site.op2), result, r2))
        return false;
    replaceElement(*x, result.value());
    return true;
}

ChainFn chainFunction(const ChainSite& site)
{
    const int first = chainIndex(static_cast<Op>(site.op1)), second = chainIndex(static_cast<Op>(site.op2));
    if (first < 0 || second < 0)
        return chainGeneral;
    const bool local = !site.xGlobal && site.y.kind == OperandKind::Local && site.zAt.kind != OperandKind::Global &&
                       site.wAt.kind != OperandKind::Global;
    const int places =
        local ? 1 + (site.zAt.kind == OperandKind::Const ? 1 : 0) + (site.wAt.kind == OperandKind::Const ? 2 : 0) : 0;
    return kChains[places][first][second];
}

bool updateGeneral(const UpdateSite& site, Value* locals)
{
    Value* x;
    const Value *y, *z;
    InlineNumber result, operand, r;
    if (!operands(site, locals, x, y, z) || !InlineNumber::from(*z, r) || !InlineNumber::from(*x, result) ||
        !InlineNumber::from(*y, operand) || !applyInline(static_cast<Op>(site.op1), operand, r) ||
        !applyInline(static_cast<Op>(site.op2), result, operand) ||
        (site.hasC && !applyInline(static_cast<Op>(site.op3), result, site.c)))
        return false;
    // Numbers on both sides: the old value, which InlineNumber::from read
    // as a number, has nothing to release, so the result is made over it.
    ::new (static_cast<void*>(x)) Value(result.value());
    return true;
}

UpdateFn updateFunction(UpdateSite& site)
{
    const auto op1 = static_cast<Op>(site.op1), op2 = static_cast<Op>(site.op2), op3 = static_cast<Op>(site.op3);
    const bool zConst = site.zKind == OperandKind::Const;
    if (site.hasC) {
        // The built versions take c as a whole number that Mod leaves to them.
        const bool wholeC = site.c.type == Type::Integer || site.c.type == Type::Long;
        if (!wholeC || site.c.whole == 0 || site.c.whole == -1)
            return updateGeneral;
    }
    if (zConst) {
        InlineNumber z;
        InlineNumber::from(site.z, z);
        site.zReal = z.type == Type::Double ? z.real : static_cast<double>(z.whole);
    }
    site.constantBits = static_cast<uint8_t>((zConst ? wholeBits(site.z.type()) : 0u) |
                                             (site.hasC ? wholeBits(site.c.type) : 0u));
    for (const Shape& shape : kShapes) {
        if (shape.op1 == op1 && shape.op2 == op2 && shape.hasC == site.hasC && (!site.hasC || shape.op3 == op3))
            return zConst ? shape.constant : shape.variable;
    }
    return updateGeneral;
}

} // namespace quillet::script
