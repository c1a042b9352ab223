#include "script/lib/date_math.h"

#include "common/vb_error.h"
#include "common/vb_number.h"
#include "script/lib/date_time.h"

#include <cmath>

namespace quillet::script {

namespace {

long long floorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Seconds on one continuous time line (a negative date's fraction still
// counts forward, so the day number and the time of day simply add up).
long long timeline(double date)
{
    return dayNumberOf(date) * 86400 + secondsOfDayOf(date);
}

double fromTimeline(long long seconds)
{
    const long long day = floorDiv(seconds, 86400);
    if (day < daysFromCivil(kMinDateYear, 1, 1) || day > daysFromCivil(kMaxDateYear, 12, 31))
        throw VbError(vberr::InvalidCall);
    return composeDate(day, static_cast<double>(seconds - day * 86400));
}

int weekdayOfDay(long long dayNumber)
{
    return static_cast<int>(((dayNumber % 7) + 7 + 6) % 7) + 1;
}

// Day number on which week 1 of `year` starts.
long long firstWeekStart(int year, const WeekRule& rule)
{
    const long long jan1 = daysFromCivil(year, 1, 1);
    const int offset = (weekdayOfDay(jan1) - rule.firstDayOfWeek + 7) % 7;
    const long long weekStart = jan1 - offset;
    switch (rule.firstWeekOfYear) {
    case 2: return 7 - offset >= 4 ? weekStart : weekStart + 7;
    case 3: return offset == 0 ? weekStart : weekStart + 7;
    default: return weekStart;
    }
}

int weekOfYear(long long dayNumber, int year, const WeekRule& rule)
{
    long long start = firstWeekStart(year, rule);
    if (dayNumber < start)
        start = firstWeekStart(year - 1, rule);
    return static_cast<int>(floorDiv(dayNumber - start, 7) + 1);
}

} // namespace

DateInterval dateIntervalFrom(TextView text)
{
    const Text t = lowerCase(text);
    if (t == u"yyyy") return DateInterval::Year;
    if (t == u"q") return DateInterval::Quarter;
    if (t == u"m") return DateInterval::Month;
    if (t == u"y") return DateInterval::DayOfYear;
    if (t == u"d") return DateInterval::Day;
    if (t == u"w") return DateInterval::Weekday;
    if (t == u"ww") return DateInterval::Week;
    if (t == u"h") return DateInterval::Hour;
    if (t == u"n") return DateInterval::Minute;
    if (t == u"s") return DateInterval::Second;
    throw VbError(vberr::InvalidCall);
}

WeekRule weekRuleFrom(int firstDayOfWeek, int firstWeekOfYear)
{
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7 || firstWeekOfYear < 0 || firstWeekOfYear > 3)
        throw VbError(vberr::InvalidCall);
    return WeekRule{firstDayOfWeek == 0 ? 1 : firstDayOfWeek, firstWeekOfYear == 0 ? 1 : firstWeekOfYear};
}

int weekdayFrom(double date, int firstDayOfWeek)
{
    return (weekdayOfDay(dayNumberOf(date)) - firstDayOfWeek + 7) % 7 + 1;
}

double dateAdd(DateInterval interval, double number, double date)
{
    if (!std::isfinite(number) || std::fabs(number) > 1e9)
        throw VbError(vberr::InvalidCall);
    // A fractional count is rounded to the nearest whole number.
    const long long n = static_cast<long long>(roundHalfEven(number));
    long long months = 0;
    switch (interval) {
    case DateInterval::Year: months = n * 12; break;
    case DateInterval::Quarter: months = n * 3; break;
    case DateInterval::Month: months = n; break;
    case DateInterval::DayOfYear:
    case DateInterval::Day:
    case DateInterval::Weekday: return fromTimeline(timeline(date) + n * 86400);
    case DateInterval::Week: return fromTimeline(timeline(date) + n * 7 * 86400);
    case DateInterval::Hour: return fromTimeline(timeline(date) + n * 3600);
    case DateInterval::Minute: return fromTimeline(timeline(date) + n * 60);
    case DateInterval::Second: return fromTimeline(timeline(date) + n);
    }
    // Whole months keep the day, clamped to the new month's length
    // (Jan 31 + 1 month is Feb 28 or 29).
    const DateParts p = dateToParts(date);
    const long long monthIndex = static_cast<long long>(p.year) * 12 + (p.month - 1) + months;
    const long long year = floorDiv(monthIndex, 12);
    const int month = static_cast<int>(monthIndex - year * 12) + 1;
    if (year < kMinDateYear || year > kMaxDateYear)
        throw VbError(vberr::InvalidCall);
    const int day = std::min(p.day, daysInMonth(static_cast<int>(year), month));
    return composeDate(daysFromCivil(static_cast<int>(year), month, day), secondsOfDayOf(date));
}

long long dateDiff(DateInterval interval, double from, double to, const WeekRule& rule)
{
    const DateParts a = dateToParts(from);
    const DateParts b = dateToParts(to);
    switch (interval) {
    case DateInterval::Year: return b.year - a.year;
    case DateInterval::Quarter: return (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3);
    case DateInterval::Month: return (b.year * 12LL + b.month) - (a.year * 12LL + a.month);
    case DateInterval::DayOfYear:
    case DateInterval::Day: return dayNumberOf(to) - dayNumberOf(from);
    case DateInterval::Weekday: return (dayNumberOf(to) - dayNumberOf(from)) / 7;
    case DateInterval::Week: {
        // Count the first days of the week passed, as calendar weeks.
        const long long shift = rule.firstDayOfWeek - 7; // day number of a week start (0 is Saturday)
        return floorDiv(dayNumberOf(to) - shift, 7) - floorDiv(dayNumberOf(from) - shift, 7);
    }
    case DateInterval::Hour: return floorDiv(timeline(to), 3600) - floorDiv(timeline(from), 3600);
    case DateInterval::Minute: return floorDiv(timeline(to), 60) - floorDiv(timeline(from), 60);
    case DateInterval::Second: return timeline(to) - timeline(from);
    }
    return 0;
}

int datePart(DateInterval interval, double date, const WeekRule& rule)
{
    const DateParts p = dateToParts(date);
    switch (interval) {
    case DateInterval::Year: return p.year;
    case DateInterval::Quarter: return (p.month - 1) / 3 + 1;
    case DateInterval::Month: return p.month;
    case DateInterval::DayOfYear:
        return static_cast<int>(dayNumberOf(date) - daysFromCivil(p.year, 1, 1) + 1);
    case DateInterval::Day: return p.day;
    case DateInterval::Weekday: return weekdayFrom(date, rule.firstDayOfWeek);
    case DateInterval::Week: return weekOfYear(dayNumberOf(date), p.year, rule);
    case DateInterval::Hour: return p.hour;
    case DateInterval::Minute: return p.minute;
    case DateInterval::Second: return p.second;
    }
    return 0;
}

} // namespace quillet::script
