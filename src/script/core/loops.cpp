// The steps of For and For Each loops.  A For loop keeps its limit, step
// and mode in three hidden locals of the frame; a For Each loop its
// collection and enumerator in one of the frame's iterators.
#include "script/core/binary_op.h"
#include "script/core/for_counting.h"
#include "script/core/operators.h"
#include "script/core/runtime.h"

namespace quillet::script {
namespace {

struct ForSlots {
    Value& limit;
    Value& step;
    Value& mode;
};

ForSlots slotsOf(Frame& f, const ForLoopInfo& loop)
{
    Value* s = f.locals + loop.slots;
    return ForSlots{s[0], s[1], s[2]};
}

// Whether a counter under Variant arithmetic has not passed the limit.
bool generalInRange(const Value& counter, const ForSlots& s)
{
    const auto c = compareValues(counter, s.limit, false, false);
    const bool positive = s.step.toDouble() >= 0;
    return c && !(positive ? *c > 0 : *c < 0);
}

} // namespace

bool Runtime::forStart(Frame& f, const Code& code, const ForLoopInfo& loop, Value from, Value to, Value step)
{
    if (from.isNull() || to.isNull() || step.isNull())
        throw VbError(vberr::InvalidUseOfNull);
    ForSlots s = slotsOf(f, loop);
    const NameRef& counterName = code.names[static_cast<size_t>(loop.counter)];
    Value* counter = variablePtr(counterName, f);
    if (counter && isIntegerOrLong(from) && isIntegerOrLong(to) && isIntegerOrLong(step)) {
        const bool narrow = from.type() == Type::Integer && step.type() == Type::Integer;
        const int64_t i = from.rawLong();
        *counter = wholeCounter(i, narrow);
        s.limit = facedLimit(to.rawLong(), step.rawLong());
        const bool runs = wholeInRange(i, s.limit.rawLong(), step.rawLong());
        s.step = std::move(step);
        s.mode = wholeMode(narrow);
        return runs;
    }
    assignName(counterName, f, from, false);
    s.limit = std::move(to);
    s.step = std::move(step);
    s.mode = generalMode();
    return generalInRange(evalName(counterName, f), s);
}

bool Runtime::forNext(Frame& f, const Code& code, const ForLoopInfo& loop)
{
    ForSlots s = slotsOf(f, loop);
    if (s.mode.isEmpty()) {
        // The bounds failed under On Error Resume Next: the body ran once
        // and the loop never started.
        throw VbError(vberr::ForNotInitialized);
    }
    checkStep();
    const NameRef& counterName = code.names[static_cast<size_t>(loop.counter)];
    if (countsWhole(f.locals + loop.slots)) {
        Value* counter = variableSlot(counterName, f);
        int64_t next;
        if (nextWhole(*counter, f.locals + loop.slots, next)) {
            storeWhole(*counter, f.locals + loop.slots, next);
            return wholeInRange(next, s.limit.rawLong(), s.step.rawLong());
        }
        // Past the Long range the counter goes on as a Double.
        if (isIntegerOrLong(*counter))
            *counter = Value::dbl(static_cast<double>(counter->rawLong()));
        s.limit = unfacedLimit(s.limit, s.step.rawLong());
        s.mode = generalMode();
    }
    assignName(counterName, f, binaryOp(Op::Add, evalName(counterName, f), s.step), false);
    return generalInRange(evalName(counterName, f), s);
}

bool Runtime::forEachStart(Frame& f, const Code& code, const ForEachInfo& loop, Value collection)
{
    ForEachState state;
    if (!collection.isArray()) {
        if (!collection.isObject() || !collection.rawObject())
            throw VbError(collection.isObject() ? vberr::ObjectNotSet : vberr::NotACollection);
        state.items = collection.rawObject()->enumerate();
        if (!state.items)
            throw VbError(vberr::NotACollection);
    }
    state.collection = std::move(collection);
    // Nothing stays held when taking the first element fails.
    ForEachState& kept = f.iterators[loop.iterator];
    kept = std::move(state);
    try {
        return forEachNext(f, code, loop, false);
    } catch (...) {
        kept.end();
        throw;
    }
}

bool Runtime::forEachNext(Frame& f, const Code& code, const ForEachInfo& loop, bool countStep)
{
    if (countStep)
        checkStep();
    ForEachState& state = f.iterators[loop.iterator];
    if (state.collection.isEmpty()) {
        // The collection failed under On Error Resume Next: the body ran
        // once and the loop never started.
        throw VbError(vberr::NotACollection);
    }
    const NameRef& element = code.names[static_cast<size_t>(loop.element)];
    if (!state.items) {
        // The loop walks the array as it was when the loop started, the
        // first subscript running fastest.
        const ArrayRep* rep = state.collection.rawArray();
        if (state.next >= rep->items.size()) {
            state.end();
            return false;
        }
        assignName(element, f, rep->items[rep->storageIndex(state.next++)], false);
        return true;
    }
    // A collection's enumerator leaves the variable Empty when it ends.
    Value item;
    const bool more = state.items->next(item);
    if (!more) {
        state.end();
        item = Value();
    }
    assignName(element, f, std::move(item), false);
    return more;
}

} // namespace quillet::script
