#include "script/memory_meter.h"

#include <limits>

namespace quillet::script {

void ReleaseMeterOwnership::operator()(MemoryMeter* meter) const noexcept
{
    meter->releaseOwnership();
}

MemoryMeter::MemoryMeter(size_t limitBytes)
    : limit_(limitBytes == 0 ? std::numeric_limits<size_t>::max() : limitBytes)
{
}

MeterHandle MemoryMeter::create(size_t limitBytes)
{
    return MeterHandle(new MemoryMeter(limitBytes));
}

size_t MemoryMeter::used() const noexcept
{
    const size_t total = inside_.load(std::memory_order_relaxed) + outside_.load(std::memory_order_relaxed);
    return ownerGone_.load(std::memory_order_relaxed) ? total : total - kOwnerBias;
}

void MemoryMeter::checkLimit(size_t inside, size_t bytes) const
{
    // The inside count alone may be high because other threads credited
    // part of it; the true total decides.
    const size_t held = inside + (outside_.load(std::memory_order_relaxed) - kOwnerBias);
    if (bytes > limit_ || held > limit_ - bytes)
        throw VbError(vberr::OutOfMemory);
}

void MemoryMeter::chargeFromOutside(size_t bytes)
{
    // Only memory that already holds a charge here grows from outside (a
    // value kept past its run), so the meter is alive.  The total read
    // here may be slightly stale, which is good enough for a limit.
    const size_t held = used();
    if (bytes > limit_ || held > limit_ - bytes)
        throw VbError(vberr::OutOfMemory);
    outside_.fetch_add(bytes, std::memory_order_relaxed);
}

void MemoryMeter::creditFromOutside(size_t bytes) noexcept
{
    // Nothing charged keeps a meter alive: crediting nothing must not touch it.
    if (bytes == 0)
        return;
    if (outside_.fetch_sub(bytes, std::memory_order_acq_rel) == bytes)
        delete this;
}

void MemoryMeter::releaseOwnership() noexcept
{
    if (current_ == this)
        current_ = nullptr; // nothing may charge a meter without an owner as current
    // From here on every charge and credit goes through the shared count:
    // fold the owner thread's count into it and drop the bias.
    const size_t inside = inside_.exchange(0, std::memory_order_relaxed);
    ownerGone_.store(true, std::memory_order_relaxed);
    const size_t change = inside - kOwnerBias;
    if (outside_.fetch_add(change, std::memory_order_acq_rel) + change == 0)
        delete this;
}

} // namespace quillet::script
