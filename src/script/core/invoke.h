// Small helpers shared by the call and assignment instructions.
#pragma once

#include "script/host_object.h"
#include "script/value.h"

#include <span>

namespace quillet::script {

// Reads an array element without unsharing the storage.
const Value& elementAt(const Value& array, std::span<Value> subscripts);

// Calls a host object, copying by-reference arguments back afterwards.
Value invokeHost(HostObject* object, int member, Access access, std::span<Value> args);

} // namespace quillet::script
