#include "script/host_object.h"

#include "script/object_registry.h"

namespace quillet::script {

HostObject::~HostObject()
{
    if (session_)
        session_->remove(*this);
}

void HostObject::joinSession(ObjectRegistry* session) noexcept
{
    if (session)
        session->add(*this);
}

Value coerceArgument(const Value& value, ArgKind kind)
{
    const Value& v = value.deref();
    if (v.isMissing())
        return v;
    switch (kind) {
    case ArgKind::Any: return v;
    case ArgKind::Int16: return Value::integer(v.toInt16());
    case ArgKind::Int32: return Value::longInt(v.toInt32());
    case ArgKind::Single: return Value::single(v.toSingle());
    case ArgKind::Double: return Value::dbl(v.toDouble());
    case ArgKind::Currency: return Value::currency(v.toCurrency());
    case ArgKind::Bool: return Value::boolean(v.toBool());
    case ArgKind::Text: return Value::string(v.toText());
    case ArgKind::AutomationText: return Value::string(automationText(v));
    case ArgKind::Object:
        if (!v.isObject())
            throw VbError(vberr::ObjectRequired);
        return v;
    }
    return v;
}

Text automationText(const Value& value)
{
    const Value v = value.withoutObject();
    if (v.type() == Type::Boolean)
        return v.rawBoolean() ? Text(u"-1") : Text(u"0");
    return v.toText();
}

int NativeClass::add(NativeMember member, bool isDefault)
{
    if (members_.empty())
        members_.emplace_back(); // slot 0: the default member
    const Text key = lowerCase(member.name);
    int number;
    if (isDefault) {
        members_[0] = std::move(member);
        hasDefault_ = true;
        number = 0;
    } else {
        members_.push_back(std::move(member));
        number = static_cast<int>(members_.size()) - 1;
    }
    byLowerName_[key] = number;
    return number;
}

int NativeClass::find(TextView name) const
{
    auto it = byLowerName_.find(lowerCase(name));
    return it == byLowerName_.end() ? kNoMember : it->second;
}

const NativeMember* NativeClass::member(int number) const
{
    if (number < 0 || number >= static_cast<int>(members_.size()))
        return nullptr;
    if (number == 0 && !hasDefault_)
        return nullptr;
    return &members_[number];
}

Value NativeObject::invoke(int number, Access access, std::span<Value> args)
{
    const NativeMember* m = class_.member(number);
    if (!m)
        throw VbError(vberr::NoSuchMember);
    std::span<Value> params = args;
    Value assigned;
    if (access != Access::Get) {
        if (args.empty())
            throw VbError(vberr::WrongArgCount);
        assigned = args.back().deref();
        params = args.first(args.size() - 1);
    }
    if (access == Access::Get && m->params.empty() && !params.empty() && m->get) {
        // `o.Items(2)` where Items takes no arguments: index what it returns
        // (an array element, or the default member of an object).
        Value result = m->get(*this, {});
        if (result.isArray()) {
            std::vector<int32_t> subscripts;
            for (Value& p : params)
                subscripts.push_back(p.deref().toInt32());
            const ArrayRep* rep = result.rawArray();
            return rep->items[rep->flatIndex(subscripts)];
        }
        if (result.isObject() && result.rawObject())
            return result.rawObject()->invoke(kDefaultMember, Access::Get, params);
        throw VbError(vberr::WrongArgCount);
    }
    if (params.size() < static_cast<size_t>(m->requiredArgs) || params.size() > m->params.size())
        throw VbError(vberr::WrongArgCount);
    for (size_t i = 0; i < params.size(); ++i) {
        // By-reference parameters keep the caller's value as it is, so the
        // member can change it.
        if (i < 32 && ((m->byRefMask >> i) & 1u))
            continue;
        if (m->params[i] != ArgKind::Any || params[i].isRef())
            params[i] = coerceArgument(params[i], m->params[i]);
    }
    switch (access) {
    case Access::Get:
        if (!m->get)
            throw VbError(vberr::NoSuchMember);
        return m->get(*this, params);
    case Access::Let:
        if (m->let) {
            m->let(*this, params, assigned);
        } else if (m->set && assigned.isObject()) {
            m->set(*this, params, assigned);
        } else {
            throw VbError(vberr::WrongArgCount);
        }
        return Value();
    case Access::Set:
        if (!m->set)
            throw VbError(vberr::WrongArgCount);
        if (!assigned.isObject())
            throw VbError(vberr::ObjectRequired);
        m->set(*this, params, assigned);
        return Value();
    }
    return Value();
}

uint32_t NativeObject::byRefMask(int number) const
{
    const NativeMember* m = class_.member(number);
    return m ? m->byRefMask : 0;
}

} // namespace quillet::script
