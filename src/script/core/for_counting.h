// How a For loop counts, shared by the loop steps (loops.cpp) and the
// machine's inline step of whole-number loops.  Whole-number bounds count
// in an int64 without Variant arithmetic; `narrow` loops (Integer start and
// step) keep an Integer counter while it fits.  A loop goes over to Variant
// arithmetic for good when its body stores something else in the counter
// or the count leaves the Long range.
#pragma once

#include "script/core/binary_op.h"
#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace quillet::script {

// The mode local: Empty until the loop starts, then an Integer while the
// loop counts whole (its value one of WholeWide, WholeNarrow) and a Long
// (General) once it counts under Variant arithmetic, so that the type alone
// tells the machine's step which way to go.
enum ForMode : int16_t { NotStarted = 0, WholeWide = 1, WholeNarrow = 2, General = 3 };

// The three hidden locals of a For loop, from its first slot.
enum ForSlot : int { ForLimit = 0, ForStep = 1, ForModeSlot = 2 };

inline Value wholeMode(bool narrow) { return Value::integer(narrow ? WholeNarrow : WholeWide); }
inline Value generalMode() { return Value::longInt(General); }

inline Value wholeCounter(int64_t i, bool narrow)
{
    return narrow && i >= INT16_MIN && i <= INT16_MAX ? Value::integer(static_cast<int16_t>(i))
                                                       : Value::longInt(static_cast<int32_t>(i));
}

// While a loop counts whole, its limit local holds a Long facing the
// step's way: the limit itself for a step of 0 or more, its complement for
// a negative step (i >= end exactly when ~i <= ~end), so that one
// comparison with no branch on the sign tells whether a count is in range.
inline int64_t stepFlip(int64_t step) { return step >> 63; }

inline Value facedLimit(int64_t end, int64_t step) { return Value::longInt(static_cast<int32_t>(end ^ stepFlip(step))); }

// The limit as the loop was given it, for the Variant arithmetic that
// takes over from whole-number counting.
inline Value unfacedLimit(const Value& faced, int64_t step) { return Value::longInt(static_cast<int32_t>(faced.rawLong() ^ stepFlip(step))); }

inline bool wholeInRange(int64_t i, int64_t facedEnd, int64_t step)
{
    return (i ^ stepFlip(step)) <= facedEnd;
}

// The local `bytes` from a frame's first local (an offset ForLoopInfo
// keeps ready to add).
[[gnu::always_inline]] inline Value* localAt(Value* locals, ptrdiff_t bytes)
{
    return reinterpret_cast<Value*>(reinterpret_cast<char*>(locals) + bytes);
}

// Whether the loop whose hidden locals start at `slots` counts in whole
// numbers still.
inline bool countsWhole(const Value* slots)
{
    return slots[ForModeSlot].type() == Type::Integer;
}

// The next count of a whole-number loop when it goes on: false when the
// loop ends there or cannot be counted that way (the counter holds
// something else).  The limit is a Long, so a count in range is one too.
[[gnu::always_inline]] inline bool nextWholeInRange(const Value& counter, const Value* slots, int64_t& next)
{
    if (!isIntegerOrLong(counter))
        return false;
    const int64_t step = slots[ForStep].rawLong();
    next = int64_t(counter.rawLong()) + step;
    return wholeInRange(next, slots[ForLimit].rawLong(), step);
}

// nextWholeInRange() for a loop whose step is 1, whose limit local holds
// the limit as it was given.
[[gnu::always_inline]] inline bool nextUpInRange(const Value& counter, const Value* slots, int64_t& next)
{
    if (!isIntegerOrLong(counter))
        return false;
    next = int64_t(counter.rawLong()) + 1;
    return next <= slots[ForLimit].rawLong();
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

// Stores a count in the Long range in the counter, which was found holding
// a whole number (nothing to release).
[[gnu::always_inline]] inline void storeWhole(Value& counter, const Value* slots, int64_t next)
{
    // Most counts of a long loop are past the Integer range, where any
    // loop's counter is a Long: the mode is read only for the others.
    if (next < INT16_MIN || next > INT16_MAX) [[likely]]
        ::new (static_cast<void*>(&counter)) Value(Value::longInt(static_cast<int32_t>(next)));
    else
        ::new (static_cast<void*>(&counter)) Value(wholeCounter(next, slots[ForModeSlot].rawInteger() == WholeNarrow));
}

} // namespace quillet::script
