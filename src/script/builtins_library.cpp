// The runtime library's entry point: every builtin function, constant and
// creatable object the library provides.
#include "script/builtins_support.h"
#include "script/objects/dictionary.h"
#include "script/objects/file_system_object.h"
#include "script/objects/regexp.h"

namespace quillet::script {

Value textResult(Text text)
{
    if (text.size() > kMaxTextLength)
        throw VbError(vberr::OutOfMemory);
    return Value::string(std::move(text));
}

void registerObjects(BuiltinRegistry& registry)
{
    registry.addCreatable(u"Scripting.Dictionary", makeDictionary);
    registry.addCreatable(u"VBScript.RegExp", makeRegExp);
    registry.addCreatable(u"Scripting.FileSystemObject", makeFileSystemObject);
    registry.addClass(u"RegExp", makeRegExp);
}

void registerRuntimeLibrary(BuiltinRegistry& registry)
{
    registerConversionBuiltins(registry);
    registerTypeInfoBuiltins(registry);
    registerStringBuiltins(registry);
    registerByteStringBuiltins(registry);
    registerFormatBuiltins(registry);
    registerMathBuiltins(registry);
    registerDateBuiltins(registry);
    registerArrayBuiltins(registry);
    registerInteractionBuiltins(registry);
    registerConstants(registry);
    registerObjects(registry);
    registerSandboxedBuiltins(registry);
}

} // namespace quillet::script
