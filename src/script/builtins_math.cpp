// Math functions and the random number generator (Rnd, Randomize).
#include "script/builtins_support.h"
#include "script/lib/local_clock.h"
#include "script/lib/vb_random.h"

#include <cmath>

namespace quillet::script {

namespace {

Value checkedDouble(double d)
{
    if (std::isinf(d))
        throw VbError(vberr::Overflow);
    if (std::isnan(d))
        throw VbError(vberr::InvalidCall);
    return Value::dbl(d);
}

Value fnAtn(Context&, std::span<Value> a) { return checkedDouble(std::atan(a[0].toDouble())); }
Value fnCos(Context&, std::span<Value> a) { return checkedDouble(std::cos(a[0].toDouble())); }
Value fnSin(Context&, std::span<Value> a) { return checkedDouble(std::sin(a[0].toDouble())); }
Value fnTan(Context&, std::span<Value> a) { return checkedDouble(std::tan(a[0].toDouble())); }
Value fnExp(Context&, std::span<Value> a) { return checkedDouble(std::exp(a[0].toDouble())); }

Value fnLog(Context&, std::span<Value> a)
{
    const double d = a[0].toDouble();
    if (d <= 0)
        throw VbError(vberr::InvalidCall);
    return Value::dbl(std::log(d));
}

Value fnSqr(Context&, std::span<Value> a)
{
    const double d = a[0].toDouble();
    if (d < 0)
        throw VbError(vberr::InvalidCall);
    return Value::dbl(std::sqrt(d));
}

// The generator's state lives in the engine's context between calls.
VbRandom generatorOf(const Context& context)
{
    return VbRandom(context.random.seed);
}

void store(Context& context, const VbRandom& r)
{
    context.random.seed = r.seed();
}

Value fnRnd(Context& context, std::span<Value> a)
{
    VbRandom r = generatorOf(context);
    const float result = hasArg(a, 0) ? r.next(a[0].toSingle()) : r.next();
    store(context, r);
    return Value::single(result);
}

Value fnRandomize(Context& context, std::span<Value> a)
{
    VbRandom r = generatorOf(context);
    r.randomize(hasArg(a, 0) ? a[0].toDouble() : static_cast<double>(static_cast<float>(secondsSinceMidnight())));
    store(context, r);
    return Value();
}

constexpr BuiltinEntry kMath[] = {
    {u"Atn", 1, 1, fnAtn}, {u"Cos", 1, 1, fnCos}, {u"Sin", 1, 1, fnSin},
    {u"Tan", 1, 1, fnTan}, {u"Exp", 1, 1, fnExp}, {u"Log", 1, 1, fnLog},
    {u"Sqr", 1, 1, fnSqr}, {u"Rnd", 0, 1, fnRnd}, {u"Randomize", 0, 1, fnRandomize, BuiltinUse::Procedure},
};

} // namespace

void registerMathBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kMath);
}

} // namespace quillet::script
