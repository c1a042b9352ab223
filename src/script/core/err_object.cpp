#include "script/core/err_object.h"

#include "script/core/hresult_map.h"
#include "script/core/runtime.h"

namespace quillet::script {
namespace {

ErrObject& self(NativeObject& o) { return static_cast<ErrObject&>(o); }

const NativeClass& errClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"Object");
        c.add({u"Number", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).number); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).number = v.toInt32(); }, {}},
              true);
        c.add({u"Description", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) { return Value::string(self(o).description); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).description = v.toText(); }, {}});
        c.add({u"Source", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) { return Value::string(self(o).source); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).source = v.toText(); }, {}});
        c.add({u"HelpFile", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) { return Value::string(self(o).helpFile); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).helpFile = v.toText(); }, {}});
        c.add({u"HelpContext", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).helpContext); },
               [](NativeObject& o, std::span<Value>, const Value& v) { self(o).helpContext = v.toInt32(); }, {}});
        c.add({u"Clear", {}, 0, 0,
               [](NativeObject& o, std::span<Value>) {
                   self(o).clear();
                   return Value();
               },
               {}, {}});
        c.add({u"Raise",
               {ArgKind::Int32, ArgKind::Any, ArgKind::Any, ArgKind::Any, ArgKind::Any}, 1, 0,
               [](NativeObject& o, std::span<Value> args) -> Value { throw self(o).raised(args); }, {}, {}});
        return c;
    }();
    return cls;
}

} // namespace

ErrObject::ErrObject() : NativeObject(errClass()) {}

// Err.Raise number [, source [, description [, helpFile [, helpContext]]]]:
// the numbers of VBScript's own errors are 1 to 65535, and a negative one
// is a failure code, mapped to the error it stands for.  What is left out
// keeps what the Err object holds (a second Raise keeps the first one's
// source and description), else the defaults of a run-time error.
ScriptError ErrObject::raised(std::span<Value> args) const
{
    const int32_t n = args[0].rawLong();
    if (n == 0 || n > 0xFFFF)
        throw VbError(vberr::InvalidCall);
    auto given = [&](size_t i) { return args.size() > i && !args[i].isMissing(); };
    ScriptError e;
    e.number = n < 0 ? vbErrorFromHresult(n) : n;
    if (given(1))
        e.source = args[1].toText();
    else
        e.source = source.empty() ? Text(kRuntimeErrorSource) : source;
    if (given(2))
        e.description = args[2].toText();
    else
        e.description = description.empty() ? vbErrorDescription(e.number) : description;
    e.helpFile = given(3) ? args[3].toText() : helpFile;
    e.helpContext = given(4) ? args[4].toInt32() : helpContext;
    return e;
}

void ErrObject::set(const ScriptError& error)
{
    number = error.number;
    description = error.description;
    source = error.source.empty() ? Text(error.compile ? kCompileErrorSource : kRuntimeErrorSource) : error.source;
    helpFile = error.helpFile;
    helpContext = error.helpContext;
}

void ErrObject::clear()
{
    number = 0;
    description.clear();
    source.clear();
    helpFile.clear();
    helpContext = 0;
}

} // namespace quillet::script
