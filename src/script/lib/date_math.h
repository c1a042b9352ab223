// DateAdd, DateDiff and DatePart: the interval letters, week numbering with
// a chosen first day of the week and first week of the year.
#pragma once

#include "common/text.h"

namespace quillet::script {

enum class DateInterval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

// "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" in any letter case;
// error 5 for anything else.
DateInterval dateIntervalFrom(TextView text);

// firstDayOfWeek: 1 Sunday .. 7 Saturday (0, "use the system", is Sunday);
// firstWeekOfYear: 1 the week of Jan 1, 2 the first week with four days,
// 3 the first full week (0 is 1).  Out-of-range values are error 5.
struct WeekRule {
    int firstDayOfWeek = 1;
    int firstWeekOfYear = 1;
};
WeekRule weekRuleFrom(int firstDayOfWeek, int firstWeekOfYear);

// Error 5 when the result leaves the years 100..9999.
double dateAdd(DateInterval interval, double number, double date);
long long dateDiff(DateInterval interval, double from, double to, const WeekRule& rule);
int datePart(DateInterval interval, double date, const WeekRule& rule);

// Weekday counted from the rule's first day (1..7).
int weekdayFrom(double date, int firstDayOfWeek);

} // namespace quillet::script
