// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in the
// fixed en-US locale.
#include "script/builtins_support.h"
#include "script/lib/date_time.h"
#include "script/lib/number_format.h"

#include <cstdio>

namespace quillet::script {

namespace {

Tristate tristateArg(std::span<Value> a, size_t i)
{
    return hasArg(a, i) ? tristateFrom(a[i].toInt32()) : Tristate::UseDefault;
}

// The value to format may not be Null: error 13, where a conversion would
// say 94 (a Null option is still 94).
void requireNotNull(const Value& v)
{
    if (v.isNull())
        throw VbError(vberr::TypeMismatch);
}

Value formatWith(std::span<Value> a, NumberStyle style)
{
    requireNotNull(a[0]);
    const NumberFormat format = numberFormatFrom(intArg(a, 1, -1), tristateArg(a, 2), tristateArg(a, 3),
                                                 tristateArg(a, 4), style == NumberStyle::Currency);
    return Value::string(formatNumber(a[0].toDouble(), format, style));
}

Value fnFormatNumber(Context&, std::span<Value> a) { return formatWith(a, NumberStyle::Plain); }
Value fnFormatCurrency(Context&, std::span<Value> a) { return formatWith(a, NumberStyle::Currency); }
Value fnFormatPercent(Context&, std::span<Value> a) { return formatWith(a, NumberStyle::Percent); }

Value fnFormatDateTime(Context&, std::span<Value> a)
{
    requireNotNull(a[0]);
    const double date = a[0].toDateSerial();
    const int32_t kind = intArg(a, 1, 0);
    const DateParts p = dateToParts(date);
    switch (kind) {
    case 0: return Value::string(dateToText(date));
    case 1:
        // Long date, as current en-US systems write it: "Sunday, December 6, 2026".
        return Value::string(weekdayName(p.weekday, false) + u", " + monthName(p.month, false) + u" " +
                             decimalText(p.day) + u", " + decimalText(p.year));
    case 2: return Value::string(shortDateText(p));
    case 3: return Value::string(longTimeText(p));
    case 4: {
        char time[8];
        std::snprintf(time, sizeof time, "%02d:%02d", p.hour, p.minute);
        return Value::string(fromAscii(time));
    }
    default: throw VbError(vberr::InvalidCall);
    }
}

constexpr BuiltinEntry kFormat[] = {
    {u"FormatNumber", 1, 5, fnFormatNumber},
    {u"FormatCurrency", 1, 5, fnFormatCurrency},
    {u"FormatPercent", 1, 5, fnFormatPercent},
    {u"FormatDateTime", 1, 2, fnFormatDateTime},
};

} // namespace

void registerFormatBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kFormat);
}

} // namespace quillet::script
