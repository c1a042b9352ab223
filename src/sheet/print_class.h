// The member table of the print object as scripts see it.
#pragma once

#include "script/host_object.h"

namespace quillet {

const script::NativeClass& printWrapperClass();

} // namespace quillet
