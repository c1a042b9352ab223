// The arguments of one call, built on the C++ stack for the usual small
// counts.  Arrays whose elements are passed by reference stay locked (no
// ReDim or Erase) until the call returns.
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
    ~ArgList()
    {
        for (ArrayRep* rep : locked_) {
            --rep->locks;
            if (--rep->refs == 0)
                delete rep;
        }
    }

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
    // Keeps `rep` alive and unresizable while the call runs (the variable
    // holding it might be reassigned meanwhile).
    void lock(ArrayRep* rep)
    {
        ++rep->locks;
        ++rep->refs;
        locked_.push_back(rep);
    }
    std::span<Value> span() { return heap_.empty() ? std::span<Value>(inline_, count_) : std::span<Value>(heap_); }
    size_t size() const { return count_; }
    Value& operator[](size_t i) { return heap_.empty() ? inline_[i] : heap_[i]; }

private:
    static constexpr size_t kInline = 6;
    Value inline_[kInline];
    std::vector<Value> heap_;
    size_t count_ = 0;
    std::vector<ArrayRep*> locked_;
};

} // namespace quillet::script
