// How scripts reach objects: every object a Value can hold (script class
// instances, Scripting.Dictionary, RegExp, and the program's own objects
// handed to the engine) implements HostObject.
//
// The engine looks a member up by name once per call site (findMember,
// case-insensitive) and caches the number it gets together with the
// object's memberTable() key, so objects of one kind should return the same
// key and the same member numbers.  Member number 0 is the default member
// (what `obj(i)` or `x = obj` reaches); return kNoMember for "no such member".
//
// Most native objects do not implement this interface by hand: they derive
// from NativeObject and describe their members once in a NativeClass
// (name, argument kinds, getter/letter/setter/method), which also converts
// arguments to the declared kinds with VBScript's rounding and overflow
// rules.
#pragma once

#include "script/value.h"

#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace quillet::script {

class ObjectRegistry;

inline constexpr int kNoMember = -1;
inline constexpr int kDefaultMember = 0;

// What a script does with a member.
enum class Access : uint8_t {
    Get,    // read a property or call a method (`x = o.P(1)`, `o.M 1, 2`)
    Let,    // `o.P(args) = value`: the value is the last argument
    Set,    // `Set o.P(args) = object`: the value is the last argument
};

// Walks a collection for For Each.
class Enumerator {
public:
    virtual ~Enumerator() = default;
    // Stores the next element in `out`; false at the end.
    virtual bool next(Value& out) = 0;
};

class HostObject {
public:
    virtual ~HostObject();
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    // TypeName of the object ("Dictionary", "clsItem", ...).
    virtual Text typeName() const = 0;

    // Member number for `name` (any letter case), kNoMember when unknown.
    virtual int findMember(TextView name) const = 0;
    // Identifies the member numbering: equal keys promise equal numbers for
    // equal names, so the engine may reuse a cached look-up.
    virtual const void* memberTable() const { return this; }

    // Performs `access` on member `member` (a number from findMember, or
    // kDefaultMember).  `args` are the script's arguments (omitted ones are
    // Value::missing()); for Let/Set the value assigned is the last element.
    // An argument the script passed by reference (a variable or array
    // element, not in parentheses) is written back to the caller after the
    // call when the member reports it in byRefMask().  Errors: throw VbError
    // (438 unknown member, 450 wrong argument count, 13, 5, ...).
    virtual Value invoke(int member, Access access, std::span<Value> args) = 0;
    // Bit i set: argument i is by reference (written back after invoke).
    virtual uint32_t byRefMask(int /*member*/) const { return 0; }

    // For Each support; nullptr means "Object not a collection" (451).
    virtual std::unique_ptr<Enumerator> enumerate() { return nullptr; }

    // Reference counting, driven by Value.  The last release calls
    // lastReleased(), which deletes the object; script classes run
    // Class_Terminate there first.
    void addRef() noexcept { ++refs_; }
    void release() noexcept
    {
        if (--refs_ == 0)
            lastReleased();
    }
    int refCount() const noexcept { return refs_; }

protected:
    virtual void lastReleased() noexcept { delete this; }

    // An object holding values a script can set (so that objects may refer
    // to each other in a cycle) joins the engine session that makes it,
    // from its constructor (nothing happens without a session), and drops
    // them in dropValues() when the session ends: object_registry.h.
    void joinSession(ObjectRegistry* session) noexcept;
    // Lets go of every value held; the object stays usable, empty.
    virtual void dropValues() noexcept {}

private:
    friend class ObjectRegistry;

    int refs_ = 0;
    // The session's list of its objects.
    ObjectRegistry* session_ = nullptr;
    HostObject* previousInSession_ = nullptr;
    HostObject* nextInSession_ = nullptr;
};

// Creates a refcounted host object and hands it out as a Value.
template <typename T, typename... Args>
Value makeObject(Args&&... args)
{
    return Value::object(new T(std::forward<Args>(args)...));
}

// ---- Table-driven native objects --------------------------------------

// Declared kind of a native member's argument; arguments are converted to
// it before the member's function sees them (a missing optional argument
// stays Value::missing()).
enum class ArgKind : uint8_t {
    Any,       // unchanged (by-reference arguments should use Any)
    Int16,     // Value::integer, rounded halves-to-even, error 6 outside range
    Int32,     // Value::longInt
    Single,
    Double,
    Currency,
    Bool,      // Value::boolean
    Text,      // Value::string (CStr rules; Null is error 94)
    // Text as an automation object (RegExp, FileSystemObject) reads a text
    // parameter: CStr rules except that a Boolean is "-1" or "0".
    AutomationText,
    Object,    // must be an object or Nothing (error 424 otherwise)
};

// Converts `value` to `kind` (throws VbError).
Value coerceArgument(const Value& value, ArgKind kind);
// The text of ArgKind::AutomationText.
Text automationText(const Value& value);

class NativeObject;

// One member of a native class.  A property has `get` and/or `let`/`set`;
// a method has only `get` (called for both `x = o.M(a)` and `o.M a`).
struct NativeMember {
    using Getter = std::function<Value(NativeObject& self, std::span<Value> args)>;
    using Setter = std::function<void(NativeObject& self, std::span<Value> args, const Value& value)>;

    Text name;
    std::vector<ArgKind> params; // declared kinds, one per parameter
    int requiredArgs = 0;        // the rest are optional
    uint32_t byRefMask = 0;      // parameters written back to the caller
    Getter get;
    Setter let;
    Setter set;
};

// The member table of one native class, shared by all its instances.
// Member 0 is the default member when the class has one.
class NativeClass {
public:
    explicit NativeClass(Text typeName) : typeName_(std::move(typeName)) {}

    const Text& typeName() const { return typeName_; }
    // Adds a member; returns its number.  `isDefault` makes it member 0
    // (at most one; add it first or it is moved there).
    int add(NativeMember member, bool isDefault = false);
    int find(TextView name) const;
    const NativeMember* member(int number) const;
    bool hasDefault() const { return hasDefault_; }

private:
    Text typeName_;
    std::vector<NativeMember> members_; // slot 0 reserved for the default
    std::unordered_map<Text, int> byLowerName_;
    bool hasDefault_ = false;
};

// A HostObject whose members come from a NativeClass.  Derive from it and
// downcast `self` in the member functions.
class NativeObject : public HostObject {
public:
    explicit NativeObject(const NativeClass& cls) : class_(cls) {}

    Text typeName() const override { return class_.typeName(); }
    int findMember(TextView name) const override { return class_.find(name); }
    const void* memberTable() const override { return &class_; }
    Value invoke(int member, Access access, std::span<Value> args) override;
    uint32_t byRefMask(int member) const override;

    const NativeClass& nativeClass() const { return class_; }

private:
    const NativeClass& class_;
};

} // namespace quillet::script
