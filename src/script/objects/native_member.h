// Builds NativeMember descriptions without spelling out every field.
#pragma once

#include "script/host_object.h"

namespace quillet::script {

// True when optional argument `i` was given (neither absent nor omitted).
inline bool hasValue(std::span<Value> args, size_t i)
{
    return i < args.size() && !args[i].isMissing();
}

inline NativeMember nativeMember(Text name, std::vector<ArgKind> params, int requiredArgs, NativeMember::Getter get,
                                 NativeMember::Setter let = nullptr, NativeMember::Setter set = nullptr)
{
    NativeMember m;
    m.name = std::move(name);
    m.params = std::move(params);
    m.requiredArgs = requiredArgs;
    m.get = std::move(get);
    m.let = std::move(let);
    m.set = std::move(set);
    return m;
}

} // namespace quillet::script
