// How the runtime library (VBScript's builtin functions, constants and
// creatable objects) plugs into the engine.
//
// Ownership of the files:
//   - builtins_library.cpp (runtime library) defines registerRuntimeLibrary(),
//     which fills a BuiltinRegistry; it may call further registration
//     functions in other builtins_*.cpp, lib/*.cpp or objects/*.cpp files.
//     src/script/CMakeLists.txt picks those files up by glob; nobody else
//     needs to edit it.
//   - The engine core registers the functions that need the compiler or the
//     engine's state itself (Eval, Execute, ExecuteGlobal, GetRef,
//     CreateObject, GetObject, IsObject of script values...): do not register
//     those names.  CreateObject only creates what was registered with
//     addCreatable (the sandbox: anything else is error 429); `New X` for a
//     non-script class looks in addClass.
//
// A builtin receives its arguments already evaluated and dereferenced, in a
// mutable span (it may move out of them).  An omitted argument in the middle
// (`Replace(s, "a", "b", , , 1)`) arrives as Value::missing(); omitted
// trailing arguments are simply absent (args.size() is between minArgs and
// maxArgs; the engine checks that and raises 450 otherwise).  Arguments
// that are objects are passed as objects: use Value::toText(), toDouble()
// etc., which go through the default member.  Raise errors by throwing
// quillet::VbError(number) (the description comes from the number) or
// VbError(number, description).
#pragma once

#include "script/value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace quillet::script {

// Answers of the host to MsgBox and InputBox.
struct UiCallbacks {
    // Returns the button pressed (vbOK = 1, vbCancel = 2, vbYes = 6, ...).
    std::function<int(const Text& prompt, int buttons, const Text& title)> messageBox;
    // Returns the text typed, or nullopt when cancelled (InputBox gives "").
    std::function<std::optional<Text>(const Text& prompt, const Text& title, const Text& defaultText)>
        inputBox;
};

// State of Rnd and Randomize, kept per engine so that runs do not disturb
// each other.  The runtime library decides how to use it.
struct RandomState {
    uint32_t seed = 0x50000;
};

// What of the file system a script may read (Scripting.FileSystemObject):
// the files in these folders and below them, nothing else.  The host sets
// it, typically to the folders of the files the script works with; by
// default nothing is readable.  Relative paths start at `currentFolder`.
struct FileAccess {
    std::vector<Text> readableFolders;
    Text currentFolder;
};

class ObjectRegistry;

// What a builtin can reach of the engine that calls it.
class Context {
public:
    virtual ~Context() = default;

    UiCallbacks ui;
    RandomState random;
    FileAccess files;
    // The session's objects that hold script values: an object a builtin
    // makes that holds values a script can set joins it (object_registry.h).
    ObjectRegistry* objects = nullptr;

    // Calls `callee` the way a script call `callee(args)` would: a script
    // function reference from GetRef, or an object's default member.
    virtual Value call(const Value& callee, std::span<Value> args) = 0;
};

using BuiltinFunction = Value (*)(Context& context, std::span<Value> args);
using ObjectFactory = Value (*)(Context& context);

// How a builtin may be called.  Most are functions, used either way.
enum class BuiltinUse : uint8_t {
    Any,
    Procedure,  // Randomize: using its value is a type mismatch (13)
    Conversion, // CInt and the like: called as a statement, once it has
                // converted its argument, it fails with error 458
};

struct BuiltinEntry {
    TextView name;
    uint8_t minArgs = 0;
    uint8_t maxArgs = 0;
    BuiltinFunction function = nullptr;
    BuiltinUse use = BuiltinUse::Any;
};

class BuiltinRegistry {
public:
    // Names are case-insensitive; registering a name again replaces it.
    void addFunction(const BuiltinEntry& entry);
    void addFunctions(std::span<const BuiltinEntry> entries);
    void addConstant(TextView name, Value value);
    // `CreateObject(progId)` (case-insensitive) makes one of these.
    void addCreatable(TextView progId, ObjectFactory factory);
    // `New name` for a class the script does not define.
    void addClass(TextView name, ObjectFactory factory);

    const BuiltinEntry* function(TextView name) const;
    const Value* constant(TextView name) const;
    ObjectFactory creatable(TextView progId) const;
    ObjectFactory classFactory(TextView name) const;

private:
    struct StoredEntry {
        Text name;
        BuiltinEntry entry;
    };
    std::unordered_map<Text, StoredEntry> functions_;
    std::unordered_map<Text, Value> constants_;
    std::unordered_map<Text, ObjectFactory> creatables_;
    std::unordered_map<Text, ObjectFactory> classes_;
};

// Defined by the runtime library (builtins_library.cpp): registers every
// builtin function, constant and creatable object it provides.  The engine
// calls it once per engine.
void registerRuntimeLibrary(BuiltinRegistry& registry);

} // namespace quillet::script
