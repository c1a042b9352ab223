// Inspection functions: IsArray, IsDate, IsEmpty, IsNull, IsNumeric,
// TypeName, VarType.  (IsObject belongs to the engine core.)
#include "script/builtins_support.h"
#include "script/lib/date_time.h"

#include <optional>

namespace quillet::script {

namespace {

Value fnIsArray(Context&, std::span<Value> a) { return Value::boolean(a[0].isArray()); }
Value fnIsEmpty(Context&, std::span<Value> a) { return Value::boolean(a[0].isEmpty()); }
Value fnIsNull(Context&, std::span<Value> a) { return Value::boolean(a[0].isNull()); }

// IsNumeric and IsDate ask about an object's default value; an object
// without one (or Nothing) is neither.  Nullopt then.
std::optional<Value> defaultValueOf(const Value& object)
{
    if (object.isNothing())
        return std::nullopt;
    try {
        Value v = object.withoutObject();
        if (v.isObject())
            return std::nullopt;
        return v;
    } catch (const VbError& e) {
        if (e.number() != vberr::NoSuchMember)
            throw;
        return std::nullopt;
    }
}

bool isDate(const Value& v)
{
    switch (v.type()) {
    case Type::Date: return true;
    case Type::String: return parseDateText(v.rawText()).has_value();
    case Type::Object: {
        const std::optional<Value> value = defaultValueOf(v);
        return value && isDate(*value);
    }
    default: return false;
    }
}

Value fnIsDate(Context&, std::span<Value> a)
{
    return Value::boolean(isDate(a[0]));
}

bool isNumeric(const Value& v)
{
    switch (v.type()) {
    case Type::Empty: case Type::Integer: case Type::Long: case Type::Single: case Type::Double:
    case Type::Currency: case Type::Boolean: case Type::Byte:
        return true;
    case Type::String:
        // A number too large for a double ("1e400") is not numeric: CDbl
        // would fail on it with Overflow, and IsNumeric answers, never fails.
        try {
            return parseNumericText(v.rawText()).has_value();
        } catch (const VbError&) {
            return false;
        }
    case Type::Object: {
        const std::optional<Value> value = defaultValueOf(v);
        return value && isNumeric(*value);
    }
    default: return false;
    }
}

Value fnIsNumeric(Context&, std::span<Value> a)
{
    return Value::boolean(isNumeric(a[0]));
}

Value fnTypeName(Context&, std::span<Value> a) { return Value::string(a[0].typeName()); }
Value fnVarType(Context&, std::span<Value> a) { return Value::integer(static_cast<int16_t>(a[0].varType())); }

constexpr BuiltinEntry kInspection[] = {
    {u"IsArray", 1, 1, fnIsArray},     {u"IsDate", 1, 1, fnIsDate},     {u"IsEmpty", 1, 1, fnIsEmpty},
    {u"IsNull", 1, 1, fnIsNull},       {u"IsNumeric", 1, 1, fnIsNumeric}, {u"TypeName", 1, 1, fnTypeName},
    {u"VarType", 1, 1, fnVarType},
};

} // namespace

void registerTypeInfoBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kInspection);
}

} // namespace quillet::script
