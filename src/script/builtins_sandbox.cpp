// Builtins that VBScript has but that would reach the file system.  Sheet
// scripts run sandboxed (CreateObject only makes a Dictionary), so these
// refuse with a runtime error, which a script can trap with On Error, rather
// than being missing names that stop it at once.
#include "script/builtins_support.h"

namespace quillet::script {

namespace {

// LoadPicture(name) would open an image file.  The refusal is error 70
// "Permission denied": what VBScript reports for a file it is not allowed
// to open, and the truth here.  "File not found" (53) would send the user
// looking for a file that is not missing.  The argument is still converted
// first, so LoadPicture(Null) fails as the string functions do (94).
Value fnLoadPicture(Context&, std::span<Value> a)
{
    (void)a[0].toText();
    throw VbError(vberr::PermissionDenied);
}

constexpr BuiltinEntry kSandboxed[] = {
    {u"LoadPicture", 1, 1, fnLoadPicture},
};

} // namespace

void registerSandboxedBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kSandboxed);
}

} // namespace quillet::script
