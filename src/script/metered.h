// Memory charged to the current MemoryMeter: a charge held by an object
// for as long as it lives (MemoryCharge), and an allocator for the
// containers inside values that grow (MeteredAllocator).  Both take the
// meter current when they are made and always credit that same one.
#pragma once

#include "common/text.h"
#include "script/memory_meter.h"

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace quillet::script {

// Bytes held by a text's buffer: nothing while it fits in the string
// object itself, its capacity and terminator once it is on the heap.
inline size_t textHeapBytes(size_t capacity) noexcept
{
    static const size_t inlineCapacity = Text().capacity();
    return capacity <= inlineCapacity ? 0 : (capacity + 1) * sizeof(char16_t);
}

// A number of bytes charged to the meter current at construction (nothing
// is charged without one) and credited to it at destruction.  Only bytes
// keep a meter alive: a charge of nothing may outlive its meter, and grows
// only while that meter is current.
class MemoryCharge {
public:
    MemoryCharge() noexcept = default;
    // Error 7 (nothing charged) when the meter's limit would be passed.
    explicit MemoryCharge(size_t bytes) : meter_(MemoryMeter::current())
    {
        if (meter_)
            meter_->charge(bytes);
        bytes_ = bytes;
    }
    ~MemoryCharge() { clear(); }
    MemoryCharge(MemoryCharge&& other) noexcept
        : meter_(std::exchange(other.meter_, nullptr)), bytes_(std::exchange(other.bytes_, 0))
    {
    }
    MemoryCharge& operator=(MemoryCharge&& other) noexcept
    {
        if (this != &other) {
            clear();
            meter_ = std::exchange(other.meter_, nullptr);
            bytes_ = std::exchange(other.bytes_, 0);
        }
        return *this;
    }

    // Charges `more` bytes on top; error 7 leaves the charge as it was.
    void grow(size_t more)
    {
        if (meter_)
            meter_->charge(more);
        bytes_ += more;
    }
    // Sets the charge to `bytes` without checking the limit: for correcting
    // an estimate once the real size is known.
    void settle(size_t bytes) noexcept
    {
        if (meter_ && bytes > bytes_)
            meter_->chargeAnyway(bytes - bytes_);
        else if (meter_ && bytes < bytes_)
            meter_->credit(bytes_ - bytes);
        bytes_ = bytes;
    }

    size_t bytes() const noexcept { return bytes_; }

private:
    void clear() noexcept
    {
        if (meter_ && bytes_ != 0)
            meter_->credit(std::exchange(bytes_, 0));
    }

    MemoryMeter* meter_ = nullptr;
    size_t bytes_ = 0;
};

// A container allocator charging its allocations to the meter current
// when the container was made.  The container must live inside something
// that also holds a MemoryCharge made at the same time: that charge keeps
// the meter alive while the container is empty.
template <typename T>
class MeteredAllocator {
public:
    using value_type = T;
    // Containers keep their own meter: assignment and swap move elements,
    // never the allocator, so each container's memory is credited where it
    // was charged.
    using propagate_on_container_copy_assignment = std::false_type;
    using propagate_on_container_move_assignment = std::false_type;
    using propagate_on_container_swap = std::false_type;
    using is_always_equal = std::false_type;

    MeteredAllocator() noexcept : meter_(MemoryMeter::current()) {}
    template <typename U>
    MeteredAllocator(const MeteredAllocator<U>& other) noexcept : meter_(other.meter())
    {
    }

    // Error 7 before anything is allocated when the limit would be passed.
    T* allocate(size_t n)
    {
        if (n > std::allocator_traits<std::allocator<T>>::max_size(std::allocator<T>()))
            throw std::bad_array_new_length();
        const size_t bytes = n * sizeof(T);
        if (meter_)
            meter_->charge(bytes);
        try {
            return std::allocator<T>().allocate(n);
        } catch (...) {
            if (meter_)
                meter_->credit(bytes);
            throw;
        }
    }
    void deallocate(T* p, size_t n) noexcept
    {
        std::allocator<T>().deallocate(p, n);
        if (meter_)
            meter_->credit(n * sizeof(T));
    }

    // A copy belongs to whoever is making it now.
    MeteredAllocator select_on_container_copy_construction() const noexcept { return MeteredAllocator(); }

    MemoryMeter* meter() const noexcept { return meter_; }
    friend bool operator==(const MeteredAllocator& a, const MeteredAllocator& b) noexcept
    {
        return a.meter_ == b.meter_;
    }

private:
    MemoryMeter* meter_;
};

} // namespace quillet::script
