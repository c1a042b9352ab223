// Members of the file objects that would write, delete, move, or reach
// beyond the folders a script may read: they exist, so a script sees the
// same member names as anywhere else, and each one is error 70
// "Permission denied", which On Error can trap.
#pragma once

#include "script/objects/native_member.h"

namespace quillet::script {

inline NativeMember refusedMember(Text name, int params, int requiredArgs)
{
    const auto refuse = [](NativeObject&, std::span<Value>) -> Value { throw VbError(vberr::PermissionDenied); };
    return nativeMember(std::move(name), std::vector<ArgKind>(static_cast<size_t>(params), ArgKind::Any),
                        requiredArgs, refuse);
}

// A property a script may read but not change (a file's Name or
// Attributes: changing them renames or alters the file).
inline NativeMember readOnlyProperty(Text name, NativeMember::Getter get)
{
    return nativeMember(std::move(name), {}, 0, std::move(get),
                        [](NativeObject&, std::span<Value>, const Value&) { throw VbError(vberr::PermissionDenied); });
}

} // namespace quillet::script
