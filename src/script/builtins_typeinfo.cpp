// Inspection functions: IsArray, IsDate, IsEmpty, IsNull, IsNumeric,
// TypeName, VarType.  (IsObject belongs to the engine core.)
#include "script/builtins_support.h"
#include "script/lib/date_time.h"

namespace quillet::script {

namespace {

Value fnIsArray(Context&, std::span<Value> a) { return Value::boolean(a[0].isArray()); }
Value fnIsEmpty(Context&, std::span<Value> a) { return Value::boolean(a[0].isEmpty()); }
Value fnIsNull(Context&, std::span<Value> a) { return Value::boolean(a[0].isNull()); }

Value fnIsDate(Context&, std::span<Value> a)
{
    const Value& v = a[0];
    if (v.type() == Type::Date)
        return Value::boolean(true);
    if (v.isString())
        return Value::boolean(parseDateText(v.rawText()).has_value());
    return Value::boolean(false);
}

Value fnIsNumeric(Context&, std::span<Value> a)
{
    const Value& v = a[0];
    switch (v.type()) {
    case Type::Empty: case Type::Integer: case Type::Long: case Type::Single: case Type::Double:
    case Type::Currency: case Type::Boolean: case Type::Byte:
        return Value::boolean(true);
    case Type::String:
        // A number too large for a double ("1e400") is not numeric: CDbl
        // would fail on it with Overflow, and IsNumeric answers, never fails.
        try {
            return Value::boolean(parseNumericText(v.rawText()).has_value());
        } catch (const VbError&) {
            return Value::boolean(false);
        }
    default: return Value::boolean(false);
    }
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
