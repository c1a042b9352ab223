// Counts the bytes a script's values hold (string buffers, array storage,
// dictionary entries, class instances' fields, regular-expression
// results) against a limit, so that a runaway script ends with error 7
// "Out of memory" long before the machine runs out.
//
// Each engine session owns one meter (see MeterHandle) and makes it the
// current meter of its thread for as long as the engine works (MeterScope).
// Whatever is allocated then is charged to the current meter and remembers
// it; the credit goes back to that same meter whenever and on whichever
// thread the memory is released.  Memory allocated with no current meter
// (values the host makes outside any run) is not counted.
//
// Lifetime: a meter lives until its owner has let go of it and every charge
// has been credited, so a value that outlives its engine (one the host kept,
// or one released on another thread after the engine was reset) never
// credits a destroyed meter.  One atomic count tracks both: the owner holds
// a large bias in it, credits from elsewhere subtract, and whoever brings it
// to zero deletes the meter.
//
// Cost: the thread working in the engine (one at a time, as the engine
// requires) charges and credits through a counter of its own, a relaxed
// atomic only so that other threads may read it; only credits from other
// threads pay for an atomic read-modify-write.
#pragma once

#include "common/vb_error.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillet::script {

class MemoryMeter;

// Lets go of the owner's hold on a meter (the meter itself goes once the
// last charge is credited).
struct ReleaseMeterOwnership {
    void operator()(MemoryMeter* meter) const noexcept;
};
using MeterHandle = std::unique_ptr<MemoryMeter, ReleaseMeterOwnership>;

class MemoryMeter {
public:
    // A new meter allowing `limitBytes` at once (0: no limit).
    static MeterHandle create(size_t limitBytes);

    // The meter of the engine this thread is working in, if any.
    static MemoryMeter* current() noexcept { return current_; }

    // Counts `bytes` more; error 7 (VbError, nothing charged) when the
    // total would pass the limit.
    void charge(size_t bytes)
    {
        if (current_ == this) {
            const size_t in = inside_.load(std::memory_order_relaxed);
            if (bytes > limit_ || in > limit_ - bytes)
                checkLimit(in, bytes);
            inside_.store(in + bytes, std::memory_order_relaxed);
        } else {
            chargeFromOutside(bytes);
        }
    }

    // Counts `bytes` more whatever the limit: for memory that already
    // exists and only needs to be counted right.
    void chargeAnyway(size_t bytes) noexcept
    {
        if (current_ == this)
            inside_.store(inside_.load(std::memory_order_relaxed) + bytes, std::memory_order_relaxed);
        else
            outside_.fetch_add(bytes, std::memory_order_relaxed);
    }

    // Counts `bytes` fewer; may delete the meter when its owner is gone.
    void credit(size_t bytes) noexcept
    {
        if (current_ == this)
            inside_.store(inside_.load(std::memory_order_relaxed) - bytes, std::memory_order_relaxed);
        else
            creditFromOutside(bytes);
    }

    // Bytes held now.  Exact on the thread working in the engine.
    size_t used() const noexcept;
    size_t limit() const noexcept { return limit_; }

private:
    friend class MeterScope;
    friend struct ReleaseMeterOwnership;

    // Far more than any process can allocate: while the owner holds it, the
    // shared count cannot reach zero however many credits arrive.
    static constexpr size_t kOwnerBias = size_t(1) << 62;

    explicit MemoryMeter(size_t limitBytes);
    ~MemoryMeter() = default;

    void checkLimit(size_t inside, size_t bytes) const;
    void chargeFromOutside(size_t bytes);
    void creditFromOutside(size_t bytes) noexcept;
    void releaseOwnership() noexcept;

    static inline constinit thread_local MemoryMeter* current_ = nullptr;

    const size_t limit_;
    // Net bytes charged and credited by the thread working in the engine.
    std::atomic<size_t> inside_{0};
    // Net bytes charged and credited from elsewhere (modulo 2^64), plus
    // kOwnerBias while the owner holds the meter; after that, all of the
    // bytes still held.
    std::atomic<size_t> outside_{kOwnerBias};
    std::atomic<bool> ownerGone_{false};
};

// Makes `meter` (may be null) the current meter of this thread for the
// scope's lifetime; scopes nest.
class MeterScope {
public:
    explicit MeterScope(MemoryMeter* meter) noexcept : saved_(MemoryMeter::current_)
    {
        MemoryMeter::current_ = meter;
    }
    ~MeterScope() { MemoryMeter::current_ = saved_; }
    MeterScope(const MeterScope&) = delete;
    MeterScope& operator=(const MeterScope&) = delete;

private:
    MemoryMeter* saved_;
};

} // namespace quillet::script
