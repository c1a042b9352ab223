// The Values of one call's frame (its locals, then its value stack): on the
// C++ stack when they are few, otherwise on the heap.  Only as many as the
// procedure needs are made, and they go last first, as an array's would.
#pragma once

#include "script/value.h"

#include <memory>
#include <new>

namespace quillet::script {

class SlotBlock {
public:
    explicit SlotBlock(size_t count) : count_(count)
    {
        if (count > kInline) {
            heap_ = std::make_unique<Value[]>(count);
            data_ = heap_.get();
            return;
        }
        data_ = reinterpret_cast<Value*>(inline_);
        for (size_t i = 0; i < count; ++i)
            ::new (static_cast<void*>(data_ + i)) Value();
    }
    ~SlotBlock()
    {
        if (heap_)
            return;
        for (size_t i = count_; i-- > 0;)
            data_[i].~Value();
    }
    SlotBlock(const SlotBlock&) = delete;
    SlotBlock& operator=(const SlotBlock&) = delete;

    Value* data() { return data_; }

private:
    static constexpr size_t kInline = 12;
    alignas(Value) unsigned char inline_[kInline * sizeof(Value)];
    std::unique_ptr<Value[]> heap_;
    Value* data_ = nullptr;
    size_t count_ = 0;
};

} // namespace quillet::script
