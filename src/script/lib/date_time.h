// Dates as VBScript keeps them: a double counting days since 1899-12-30,
// the fraction being the time of day.  For dates before that day the
// whole part is negative but the fraction still counts forward from
// midnight (-1.25 is 1899-12-29 06:00), as OLE dates do.  Text forms use
// a fixed en-US locale (month/day/year, 12-hour clock).
#pragma once

#include "common/text.h"

#include <optional>

namespace quillet::script {

inline constexpr int kMinDateYear = 100;
inline constexpr int kMaxDateYear = 9999;

// DateSerial with VBScript's rollover: months outside 1..12 move the year,
// day 0 is the last day of the previous month, and years 0-29 mean
// 2000-2029, 30-99 mean 1930-1999.  Error 5 outside years 100..9999.
double dateSerial(int year, int month, int day);
// TimeSerial: hours, minutes and seconds may overflow into each other and
// into the day (TimeSerial(25, 0, 0) is 12/31/1899 1:00:00 AM).
double timeSerial(int hour, int minute, int second);

// Composes a date value from a whole day number (since 1899-12-30) and a
// time of day in seconds (0..86399), honouring the negative-date rule.
double composeDate(long long dayNumber, double secondsOfDay);
// The day number and the seconds since midnight (rounded to the nearest
// second, a rounded-up midnight moving to the next day).
long long dayNumberOf(double date);
int secondsOfDayOf(double date);

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int weekday = 7; // 1 = Sunday ... 7 = Saturday
};
DateParts dateToParts(double date);
// Day number of a civil date (no range check, no rollover).
long long daysFromCivil(int year, int month, int day);
bool isValidCivilDate(int year, int month, int day);
int daysInMonth(int year, int month);

// CStr of a date: "12/6/2026", "3:04:05 PM", "12/6/2026 3:04:05 PM".
// The zero date prints the time only; a midnight time prints the date only.
Text dateToText(double date);
Text shortDateText(const DateParts& parts);  // "12/6/2026"
Text longTimeText(const DateParts& parts);   // "3:04:05 PM"

// What CDate, IsDate, DateValue and TimeValue accept in en-US:
// "12/6/2026", "12-6-26", "2026-12-06", "Dec 6, 2026", "6 December 2026",
// "December 2026", "3:04 PM", "15:04:05", "3 PM", and a date with a time in
// either order.  Numbers that cannot be month/day/year are tried as
// day/month/year, then year/month/day.  A missing year is `currentYear`.
std::optional<double> parseDateText(TextView text, int currentYear);
std::optional<double> parseDateText(TextView text); // with this year

// English month and weekday names (1-based), full or abbreviated.
Text monthName(int month, bool abbreviate);
Text weekdayName(int weekday, bool abbreviate);

} // namespace quillet::script
