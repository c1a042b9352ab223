// How a For loop counts, shared by the loop steps (loops.cpp) and the
// machine's inline step of whole-number loops.  Whole-number bounds count
// in an int64 without Variant arithmetic; `narrow` loops (Integer start and
// step) keep an Integer counter while it fits.  A loop goes over to Variant
// arithmetic for good when its body stores something else in the counter
// or the count leaves the Long range.
#pragma once

#include "script/core/binary_op.h"
#include "script/value.h"

#include <cstdint>
#include <new>

namespace quillet::script {

enum ForMode : int16_t { NotStarted = 0, WholeWide = 1, WholeNarrow = 2, General = 3 };

// The three hidden locals of a For loop, from its first slot.
enum ForSlot : int { ForLimit = 0, ForStep = 1, ForModeSlot = 2 };

inline Value wholeCounter(int64_t i, bool narrow)
{
    return narrow && i >= INT16_MIN && i <= INT16_MAX ? Value::integer(static_cast<int16_t>(i))
                                                       : Value::longInt(static_cast<int32_t>(i));
}

inline bool wholeInRange(int64_t i, int64_t end, int64_t step)
{
    return step >= 0 ? i <= end : i >= end;
}

// Whether the loop whose hidden locals start at `slots` counts in whole
// numbers still.
inline bool countsWhole(const Value* slots)
{
    const Value& mode = slots[ForModeSlot];
    return mode.type() == Type::Integer && (mode.rawInteger() == WholeWide || mode.rawInteger() == WholeNarrow);
}

// The next count of a whole-number loop: false when it cannot be counted
// that way (the counter holds something else, or the count leaves the Long
// range).
[[gnu::always_inline]] inline bool nextWhole(const Value& counter, const Value* slots, int64_t& next)
{
    if (!isIntegerOrLong(counter))
        return false;
    next = int64_t(counter.rawLong()) + slots[ForStep].rawLong();
    return next <= INT32_MAX && next >= INT32_MIN;
}

// Stores that count in the counter, which nextWhole() found holding a
// whole number (nothing to release); whether it is still in range.
[[gnu::always_inline]] inline bool storeWhole(Value& counter, const Value* slots, int64_t next)
{
    ::new (static_cast<void*>(&counter)) Value(wholeCounter(next, slots[ForModeSlot].rawInteger() == WholeNarrow));
    return wholeInRange(next, slots[ForLimit].rawLong(), slots[ForStep].rawLong());
}

} // namespace quillet::script
