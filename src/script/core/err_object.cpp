#include "script/core/err_object.h"

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
               [](NativeObject&, std::span<Value> args) -> Value {
                   ScriptError e;
                   e.number = args[0].rawLong();
                   if (e.number == 0)
                       throw VbError(vberr::InvalidCall);
                   e.source = args.size() > 1 && !args[1].isMissing() ? args[1].toText() : Text(kRuntimeErrorSource);
                   e.description = args.size() > 2 && !args[2].isMissing() ? args[2].toText()
                                                                           : vbErrorDescription(e.number);
                   throw e;
               },
               {}, {}});
        return c;
    }();
    return cls;
}

} // namespace

ErrObject::ErrObject() : NativeObject(errClass()) {}

void ErrObject::set(const ScriptError& error)
{
    number = error.number;
    description = error.description;
    source = error.source.empty() ? Text(error.compile ? kCompileErrorSource : kRuntimeErrorSource) : error.source;
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
