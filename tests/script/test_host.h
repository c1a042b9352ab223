// A host object for the engine's tests: methods, properties with
// arguments, a default member, by-reference and optional arguments,
// argument kinds, and enumeration.
#pragma once

#include "script/host_object.h"

#include <functional>
#include <utility>
#include <vector>

namespace quillet::script::testing {

// A host object whose methods are the given functions, found by name in
// any letter case: for a test's own small hosts.
using HostMethod = std::function<Value(std::span<Value> args)>;
Value makeMethodsHost(Text typeName, std::vector<std::pair<Text, HostMethod>> methods);

// "Host" in the golden scripts.  Members:
//   Name (property, text)           Count (read-only, Int32)
//   Item(i) (default, 0-based)      Add(value)  appends an item
//   Twice(ByRef n)                  doubles n in place
//   Greet(name, [greeting])         greeting defaults to "Hello"
//   Kinds(i16, i32, sng, dbl, cur, bool, text)  TypeNames of the converted arguments
//   Child (property returning another host object, or Nothing)
//   Fail(number)                    raises that error
//   For Each walks the items.
Value makeTestHost();

} // namespace quillet::script::testing
