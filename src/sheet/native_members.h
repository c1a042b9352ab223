// Shorthand for describing the members of the program's script objects.
#pragma once

#include "script/host_object.h"

#include <vector>

namespace quillet {

// A member whose arguments are all required.  A property passes `let`.
inline script::NativeMember nativeMember(const char16_t* name, std::vector<script::ArgKind> params,
                                         script::NativeMember::Getter get,
                                         script::NativeMember::Setter let = nullptr)
{
    script::NativeMember m;
    m.name = name;
    m.requiredArgs = static_cast<int>(params.size());
    m.params = std::move(params);
    m.get = std::move(get);
    m.let = std::move(let);
    return m;
}

} // namespace quillet
