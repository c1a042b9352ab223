// The VBScript error number that a COM failure code (an HRESULT, a
// negative number) raised with Err.Raise stands for.
#pragma once

#include <cstdint>

namespace quillet::script {

// A code of the VBScript facility (0x800Axxxx) is its error number xxxx;
// the common system codes map to the run-time error that means the same
// (0x8007000E, out of memory, is error 7); any other code is kept.
int32_t vbErrorFromHresult(int32_t hresult);

} // namespace quillet::script
