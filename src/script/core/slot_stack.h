// The Values of the calls in progress (each call's locals, then its value
// stack), taken from one stack the runtime keeps and reuses: a call takes
// its slots from the top and gives them back, Empty, when it ends.  The
// slots sit in chunks that never move, since by-reference arguments point
// into them; a call whose slots do not fit in what is left of the current
// chunk starts the next one.  Every slot not taken is Empty, so taking
// slots costs no construction.
#pragma once

#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace quillet::script {

class SlotStack {
public:
    SlotStack() = default;
    SlotStack(const SlotStack&) = delete;
    SlotStack& operator=(const SlotStack&) = delete;

    // `count` Empty slots, contiguous.  At least one is taken, so that
    // every call's slots start at an address of their own (which is how
    // give() finds their chunk).
    Value* take(size_t count) { return takeFrame(count + (count == 0)); }

    // take() of a count known to be at least one: a call's frame.
    Value* takeFrame(size_t count)
    {
        // Addresses compared, not counts: the count is scaled once.  (As
        // numbers: before the first chunk the pointers are null.)  A
        // procedure's frame is far too small to wrap the address.
        Value* slots = top_;
        if (reinterpret_cast<uintptr_t>(slots) + count * sizeof(Value) <= reinterpret_cast<uintptr_t>(limit_))
            [[likely]] {
            top_ = slots + count;
            return slots;
        }
        return takeFromNextChunk(count);
    }

    // Gives back the slots `take` returned last, all Empty again.
    void give(Value* slots)
    {
        if (slots >= chunkBase_ && slots <= top_) [[likely]] {
            top_ = slots;
            return;
        }
        giveToPreviousChunk(slots);
    }

    // The chunks held (for tests: a stack that does not grow with the
    // number of calls made).
    size_t chunkCount() const { return chunks_.size(); }

private:
    // Slots in a chunk unless a single call needs more.
    static constexpr size_t kChunkSlots = 4096;
    struct Chunk {
        std::unique_ptr<Value[]> values;
        size_t size = 0;
    };

    Value* takeFromNextChunk(size_t count);
    void giveToPreviousChunk(Value* slots);
    void enterChunk(size_t index, Value* top);

    std::vector<Chunk> chunks_;
    size_t current_ = 0; // the chunk holding the top, when there are chunks
    Value* chunkBase_ = nullptr;
    Value* top_ = nullptr;
    Value* limit_ = nullptr;
};

// The slots of one call (`count`, at least one, its locals the first
// `locals`), given back when it ends however it ends.  The locals are
// emptied first, the last first (as an array's elements go), while the
// slots are still taken, so that a Class_Terminate that runs meanwhile
// takes slots above them.  The machine leaves the value stack above them
// Empty as the call's code ends, returning or failing (execute()).
class CallSlots {
public:
    CallSlots(SlotStack& stack, size_t count, size_t locals)
        : stack_(stack), slots_(stack.takeFrame(count)), locals_(locals)
    {
    }
    ~CallSlots()
    {
        emptyLocals(slots_, locals_);
        stack_.give(slots_);
    }
    // Empties the first `locals` of `slots`, the last first.
    static void emptyLocals(Value* slots, size_t locals)
    {
        static_assert(Type::Empty == Type{0}, "an Empty value is all zero bytes");
        for (Value* v = slots + locals; v != slots;) {
            --v;
            // What holds nothing (a number, a reference) is simply
            // overwritten, in one store: Empty is all zero bytes.
            if (v->type() >= Type::String) [[unlikely]] {
                Value old(std::move(*v));
            } else {
                std::memset(static_cast<void*>(v), 0, sizeof(Value));
            }
        }
    }
    CallSlots(const CallSlots&) = delete;
    CallSlots& operator=(const CallSlots&) = delete;

    Value* data() { return slots_; }

private:
    SlotStack& stack_;
    Value* slots_;
    size_t locals_;
};

} // namespace quillet::script
