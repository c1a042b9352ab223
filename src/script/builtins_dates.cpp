// Date and time functions.  Arguments reach dates through CDate (texts
// are parsed, numbers are day serials); a Null date gives Null.
#include "script/builtins_support.h"
#include "script/lib/date_math.h"
#include "script/lib/date_time.h"
#include "script/lib/local_clock.h"

#include <cmath>
#include <limits>

namespace quillet::script {

namespace {

Value fnDate(Context&, std::span<Value>) { return Value::date(static_cast<double>(dayNumberOf(localNow()))); }
Value fnTime(Context&, std::span<Value>) { return Value::date(composeDate(0, secondsOfDayOf(localNow()))); }
Value fnNow(Context&, std::span<Value>) { return Value::date(localNow()); }

Value fnTimer(Context&, std::span<Value>)
{
    // Hundredths of a second, as the classic timer resolution.
    return Value::single(static_cast<float>(std::floor(secondsSinceMidnight() * 100.0) / 100.0));
}

// One date part as an Integer, Null for Null.
template <int DateParts::*Field>
Value datePartOf(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        return Value::null();
    return Value::integer(static_cast<int16_t>(dateToParts(a[0].toDateSerial()).*Field));
}

int firstDayArg(std::span<Value> a, size_t i)
{
    return hasArg(a, i) ? a[i].toInt32() : 1;
}

WeekRule weekRuleArgs(std::span<Value> a, size_t i)
{
    return weekRuleFrom(firstDayArg(a, i), intArg(a, i + 1, 1));
}

Value fnWeekday(Context&, std::span<Value> a)
{
    const int first = weekRuleFrom(firstDayArg(a, 1), 1).firstDayOfWeek;
    if (a[0].isNull())
        return Value::null();
    return Value::integer(static_cast<int16_t>(weekdayFrom(a[0].toDateSerial(), first)));
}

Value fnWeekdayName(Context&, std::span<Value> a)
{
    const int32_t day = a[0].toInt32();
    const bool abbreviate = boolArg(a, 1, false);
    const int first = weekRuleFrom(firstDayArg(a, 2), 1).firstDayOfWeek;
    if (day < 1 || day > 7)
        throw VbError(vberr::InvalidCall);
    return Value::string(weekdayName((day + first - 2) % 7 + 1, abbreviate));
}

Value fnMonthName(Context&, std::span<Value> a)
{
    return Value::string(monthName(a[0].toInt32(), boolArg(a, 1, false)));
}

Value fnDateSerial(Context&, std::span<Value> a)
{
    return Value::date(dateSerial(a[0].toInt16(), a[1].toInt16(), a[2].toInt16()));
}

Value fnTimeSerial(Context&, std::span<Value> a)
{
    return Value::date(timeSerial(a[0].toInt16(), a[1].toInt16(), a[2].toInt16()));
}

Value fnDateValue(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        return Value::null();
    return Value::date(static_cast<double>(dayNumberOf(a[0].toDateSerial())));
}

Value fnTimeValue(Context&, std::span<Value> a)
{
    if (a[0].isNull())
        return Value::null();
    return Value::date(composeDate(0, secondsOfDayOf(a[0].toDateSerial())));
}

Value fnDateAdd(Context&, std::span<Value> a)
{
    const DateInterval interval = dateIntervalFrom(a[0].toText());
    const double number = a[1].toDouble();
    if (a[2].isNull())
        return Value::null();
    return Value::date(dateAdd(interval, number, a[2].toDateSerial()));
}

Value fnDateDiff(Context&, std::span<Value> a)
{
    const DateInterval interval = dateIntervalFrom(a[0].toText());
    const WeekRule rule = weekRuleArgs(a, 3);
    if (a[1].isNull() || a[2].isNull())
        return Value::null();
    const long long diff = dateDiff(interval, a[1].toDateSerial(), a[2].toDateSerial(), rule);
    if (diff < std::numeric_limits<int32_t>::min() || diff > std::numeric_limits<int32_t>::max())
        throw VbError(vberr::Overflow);
    return Value::longInt(static_cast<int32_t>(diff));
}

Value fnDatePart(Context&, std::span<Value> a)
{
    const DateInterval interval = dateIntervalFrom(a[0].toText());
    const WeekRule rule = weekRuleArgs(a, 2);
    if (a[1].isNull())
        return Value::null();
    return Value::integer(static_cast<int16_t>(datePart(interval, a[1].toDateSerial(), rule)));
}

constexpr BuiltinEntry kDates[] = {
    {u"Date", 0, 0, fnDate},
    {u"Time", 0, 0, fnTime},
    {u"Now", 0, 0, fnNow},
    {u"Timer", 0, 0, fnTimer},
    {u"Year", 1, 1, datePartOf<&DateParts::year>},
    {u"Month", 1, 1, datePartOf<&DateParts::month>},
    {u"Day", 1, 1, datePartOf<&DateParts::day>},
    {u"Hour", 1, 1, datePartOf<&DateParts::hour>},
    {u"Minute", 1, 1, datePartOf<&DateParts::minute>},
    {u"Second", 1, 1, datePartOf<&DateParts::second>},
    {u"Weekday", 1, 2, fnWeekday},
    {u"WeekdayName", 1, 3, fnWeekdayName},
    {u"MonthName", 1, 2, fnMonthName},
    {u"DateSerial", 3, 3, fnDateSerial},
    {u"TimeSerial", 3, 3, fnTimeSerial},
    {u"DateValue", 1, 1, fnDateValue},
    {u"TimeValue", 1, 1, fnTimeValue},
    {u"DateAdd", 3, 3, fnDateAdd},
    {u"DateDiff", 3, 5, fnDateDiff},
    {u"DatePart", 2, 4, fnDatePart},
};

} // namespace

void registerDateBuiltins(BuiltinRegistry& registry)
{
    registry.addFunctions(kDates);
}

} // namespace quillet::script
