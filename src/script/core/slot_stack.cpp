#include "script/core/slot_stack.h"

#include <algorithm>

namespace quillet::script {

void SlotStack::enterChunk(size_t index, Value* top)
{
    current_ = index;
    Chunk& c = chunks_[index];
    chunkBase_ = c.values.get();
    top_ = top;
    limit_ = chunkBase_ + c.size;
}

Value* SlotStack::takeFromNextChunk(size_t count)
{
    // A chunk with no slots taken is replaced when too small, so that every
    // chunk below the top holds at least one call's slots.
    const bool emptyHere = !chunks_.empty() && top_ == chunkBase_;
    const size_t next = chunks_.empty() ? 0 : (emptyHere ? current_ : current_ + 1);
    if (next >= chunks_.size() || chunks_[next].size < count) {
        Chunk fresh;
        fresh.size = std::max(count, kChunkSlots);
        fresh.values = std::make_unique<Value[]>(fresh.size);
        if (next < chunks_.size()) {
            // The chunks from `next` up are unused: the bigger one replaces them.
            chunks_.resize(next + 1);
            chunks_[next] = std::move(fresh);
        } else {
            chunks_.push_back(std::move(fresh));
        }
    }
    enterChunk(next, chunks_[next].values.get());
    Value* slots = top_;
    top_ += count;
    return slots;
}

void SlotStack::giveToPreviousChunk(Value* slots)
{
    size_t index = current_;
    while (index > 0) {
        --index;
        const Chunk& c = chunks_[index];
        if (slots >= c.values.get() && slots < c.values.get() + c.size)
            break;
    }
    // One spare chunk stays for the next call that crosses the boundary;
    // those above it go, so that one deep recursion does not keep its
    // slots for the rest of the session.
    if (chunks_.size() > index + 2)
        chunks_.resize(index + 2);
    enterChunk(index, slots);
}

} // namespace quillet::script
