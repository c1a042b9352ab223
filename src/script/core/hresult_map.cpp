#include "script/core/hresult_map.h"

#include <algorithm>
#include <iterator>

namespace quillet::script {
namespace {

struct Mapping {
    uint32_t hresult;
    int32_t number;
};

// Sorted by code, for the binary search below.
constexpr Mapping kMappings[] = {
    {0x80004001, 445}, // E_NOTIMPL: object doesn't support this action
    {0x80004002, 430}, // E_NOINTERFACE: class doesn't support Automation
    {0x80020001, 438}, // unknown interface
    {0x80020003, 438}, // member not found
    {0x80020004, 448}, // parameter not found
    {0x80020005, 13},  // type mismatch
    {0x80020006, 438}, // unknown name
    {0x80020007, 446}, // no named arguments
    {0x80020008, 458}, // bad variant type
    {0x8002000A, 6},   // overflow
    {0x8002000B, 9},   // bad index
    {0x8002000C, 447}, // unknown locale
    {0x8002000D, 10},  // array locked
    {0x8002000E, 450}, // bad parameter count
    {0x8002000F, 449}, // parameter not optional
    {0x80020011, 451}, // not a collection
    {0x8002802F, 453}, // DLL function not found
    {0x80028CA0, 13},  // type library: type mismatch
    {0x80028CA1, 9},   // type library: out of bounds
    {0x80028CA2, 57},  // type library: I/O error
    {0x80028CA3, 322}, // can't create a temporary file
    {0x80030002, 432}, // storage: file not found
    {0x80030003, 76},  // storage: path not found
    {0x80030004, 67},  // storage: too many open files
    {0x80030005, 70},  // storage: access denied
    {0x80030008, 7},   // storage: insufficient memory
    {0x80030012, 67},  // storage: no more files
    {0x80030013, 70},  // storage: disk write-protected
    {0x8003001D, 57},  // storage: write fault
    {0x8003001E, 57},  // storage: read fault
    {0x80030020, 75},  // storage: share violation
    {0x80030021, 70},  // storage: lock violation
    {0x80030050, 58},  // storage: file already exists
    {0x80030070, 61},  // storage: medium full
    {0x800300FC, 53},  // storage: invalid name
    {0x80030100, 70},  // storage: in use
    {0x80030101, 70},  // storage: not current
    {0x80030103, 57},  // storage: can't save
    {0x80040154, 429}, // class not registered
    {0x800401E3, 429}, // moniker: unavailable
    {0x800401E6, 432}, // moniker: invalid extension
    {0x800401EA, 432}, // moniker: can't open file
    {0x800401F3, 429}, // invalid class string
    {0x800401F5, 429}, // application not found
    {0x800401FE, 429}, // application didn't register
    {0x80070005, 70},  // access denied
    {0x8007000E, 7},   // out of memory
    {0x80070057, 5},   // invalid argument
    {0x800706BA, 462}, // RPC server unavailable
    {0x80080005, 429}, // server execution failed
};

constexpr uint32_t kVbFacility = 0x800A0000;

} // namespace

int32_t vbErrorFromHresult(int32_t hresult)
{
    const auto code = static_cast<uint32_t>(hresult);
    if ((code & 0xFFFF0000u) == kVbFacility)
        return static_cast<int32_t>(code & 0xFFFFu);
    const auto* it = std::lower_bound(std::begin(kMappings), std::end(kMappings), code,
                                      [](const Mapping& m, uint32_t c) { return m.hresult < c; });
    if (it != std::end(kMappings) && it->hresult == code)
        return it->number;
    return hresult;
}

} // namespace quillet::script
