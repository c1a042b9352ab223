// A list of values built on the C++ stack for the usual small counts: the
// arguments a script member passes on to what it reads.
#pragma once

#include "script/value.h"

#include <span>
#include <vector>

namespace quillet::script {

class ArgList {
public:
    ArgList() = default;
    ArgList(const ArgList&) = delete;
    ArgList& operator=(const ArgList&) = delete;
    ~ArgList() = default;

    void push(Value v)
    {
        if (count_ < kInline) {
            inline_[count_++] = std::move(v);
            return;
        }
        if (heap_.empty()) {
            heap_.reserve(kInline * 2);
            for (size_t i = 0; i < kInline; ++i)
                heap_.push_back(std::move(inline_[i]));
        }
        heap_.push_back(std::move(v));
        ++count_;
    }
    std::span<Value> span() { return heap_.empty() ? std::span<Value>(inline_, count_) : std::span<Value>(heap_); }
    size_t size() const { return count_; }
    Value& operator[](size_t i) { return heap_.empty() ? inline_[i] : heap_[i]; }

private:
    static constexpr size_t kInline = 6;
    Value inline_[kInline];
    std::vector<Value> heap_;
    size_t count_ = 0;
};

} // namespace quillet::script
