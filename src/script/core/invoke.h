// Small helpers shared by the call and assignment instructions.
#pragma once

#include "script/host_object.h"
#include "script/value.h"

#include <span>
#include <vector>

namespace quillet::script {

struct MemberCache;

// An element's subscripts read as whole numbers, without a heap allocation
// for the usual few dimensions.
class SubscriptIndices {
public:
    explicit SubscriptIndices(std::span<Value> subscripts);
    SubscriptIndices(const SubscriptIndices&) = delete;
    SubscriptIndices& operator=(const SubscriptIndices&) = delete;
    std::span<const int32_t> span() const { return {data_, size_}; }

private:
    int32_t fixed_[8];
    std::vector<int32_t> many_;
    int32_t* data_ = fixed_;
    size_t size_ = 0;
};

// Reads an array element without unsharing the storage.
const Value& elementAt(const Value& array, std::span<Value> subscripts);

// The member number of `name` on a host object, remembered in the call
// site's cache for objects that share a member table; error 438 when the
// object has no such member.
int cachedHostMember(HostObject* object, const Text& name, MemberCache& cache);

// Calls a host object, copying by-reference arguments back afterwards.
Value invokeHost(HostObject* object, int member, Access access, std::span<Value> args);

// Drops the stack slots from `bottom` up to `sp`, the most recent first;
// `bottom` is the new top.
inline Value* dropTo(Value* bottom, Value* sp)
{
    while (sp != bottom)
        *--sp = Value();
    return bottom;
}

} // namespace quillet::script
