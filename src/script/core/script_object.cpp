#include "script/core/script_object.h"

#include "script/core/runtime.h"

namespace quillet::script {

ScriptObject::ScriptObject(ClassDef& cls, std::shared_ptr<RuntimeLink> link, std::shared_ptr<const CodeUnit> unit)
    : cls_(cls), charge_(sizeof(ScriptObject) + cls.fields.size() * sizeof(Value)), fields_(cls.fields.size()),
      link_(std::move(link)), unit_(std::move(unit))
{
    joinSession(link_->runtime ? link_->runtime->objects : nullptr);
    for (size_t i = 0; i < cls.fields.size(); ++i) {
        const ClassField& f = cls.fields[i];
        if (!f.isArray)
            continue;
        if (f.bounds.empty()) {
            auto* rep = new ArrayRep;
            fields_[i] = Value::array(rep);
        } else {
            fields_[i] = Value::newArray(f.bounds);
            fields_[i].rawArray()->fixedSize = true;
        }
    }
}

int ScriptObject::findMember(TextView name) const
{
    auto it = cls_.memberIndex.find(lowerCase(name));
    if (it == cls_.memberIndex.end() || !cls_.members[static_cast<size_t>(it->second)].isPublic)
        return kNoMember;
    return it->second;
}

Value ScriptObject::invoke(int member, Access access, std::span<Value> args)
{
    if (!link_->runtime)
        throw VbError(vberr::ObjectNotSet);
    return link_->runtime->invokeScriptMember(*this, member, access, args);
}

void ScriptObject::terminate() noexcept
{
    if (terminated_ || !cls_.terminate || !link_->runtime)
        return;
    terminated_ = true;
    link_->runtime->runTerminate(*this);
}

void ScriptObject::lastReleased() noexcept
{
    if (terminated_ || !cls_.terminate || !link_->runtime) {
        delete this;
        return;
    }
    addRef();
    terminate();
    release(); // deletes, unless Class_Terminate stored Me somewhere
}

void ScriptObject::dropValues() noexcept
{
    for (Value& field : fields_) {
        Value dropped = std::move(field);
        field = Value();
    }
}

Value ProcedureRef::invoke(int member, Access access, std::span<Value> args)
{
    if (member != kDefaultMember || access != Access::Get)
        throw VbError(vberr::NoSuchMember);
    if (!link_->runtime)
        throw VbError(vberr::ObjectNotSet);
    return link_->runtime->callProcedure(proc_, nullptr, args);
}

} // namespace quillet::script
