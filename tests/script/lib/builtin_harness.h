// Calls the runtime library's builtins and objects directly, without the
// compiler: a registry filled by registerRuntimeLibrary and a context whose
// host callbacks the tests can set.
#pragma once

#include "script/builtins.h"
#include "script/host_object.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace quillet::script::testing {

class TestContext : public Context {
public:
    Value call(const Value&, std::span<Value>) override { throw VbError(vberr::InvalidCall); }
};

inline Value S(const char16_t* text) { return Value::string(text); }
inline Value I(int16_t n) { return Value::integer(n); }
inline Value L(int32_t n) { return Value::longInt(n); }
inline Value D(double d) { return Value::dbl(d); }

class Library {
public:
    Library() { registerRuntimeLibrary(registry); }

    Value call(TextView name, std::initializer_list<Value> args)
    {
        const BuiltinEntry* style = registry.function(name);
        if (!style)
            throw std::runtime_error("no builtin " + toUtf8(name));
        std::vector<Value> v(args);
        if (v.size() < style->minArgs || v.size() > style->maxArgs)
            throw VbError(vberr::WrongArgCount);
        return style->function(context, v);
    }
    Text text(TextView name, std::initializer_list<Value> args) { return call(name, args).toText(); }
    // The error number a call raises, 0 when it raises none.
    int error(TextView name, std::initializer_list<Value> args)
    {
        try {
            call(name, args);
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    }
    Value constant(TextView name) { return *registry.constant(name); }

    Value create(TextView progId) { return registry.creatable(progId)(context); }
    Value newObject(TextView className) { return registry.classFactory(className)(context); }

    BuiltinRegistry registry;
    TestContext context;
};

// Member access on an object value as a script would do it.
inline Value member(const Value& object, TextView name, std::initializer_list<Value> args = {},
                    Access access = Access::Get)
{
    HostObject* o = object.rawObject();
    const int number = name.empty() ? kDefaultMember : o->findMember(name);
    if (number == kNoMember)
        throw VbError(vberr::NoSuchMember);
    std::vector<Value> v(args);
    return o->invoke(number, access, v);
}

inline int memberError(const Value& object, TextView name, std::initializer_list<Value> args = {},
                       Access access = Access::Get)
{
    try {
        member(object, name, args, access);
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace quillet::script::testing
