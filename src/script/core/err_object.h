// The Err object: the last error trapped under On Error Resume Next, and
// Err.Raise to raise one.
#pragma once

#include "script/host_object.h"

namespace quillet::script {

struct ScriptError;

class ErrObject final : public NativeObject {
public:
    ErrObject();

    void set(const ScriptError& error);
    void clear();
    // The error Err.Raise with these arguments raises.
    ScriptError raised(std::span<Value> args) const;

    int number = 0;
    Text description;
    Text source;
    Text helpFile;
    int32_t helpContext = 0;
};

inline constexpr char16_t kRuntimeErrorSource[] = u"Microsoft VBScript runtime error";
inline constexpr char16_t kCompileErrorSource[] = u"Microsoft VBScript compilation error";

} // namespace quillet::script
