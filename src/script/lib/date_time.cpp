#include "script/lib/date_time.h"

#include "common/vb_error.h"

#include <cmath>
#include <cstdio>

namespace quillet::script {

namespace {

// Day number of 1899-12-30 in the days-from-civil count used below
// (days since 1970-01-01).
constexpr long long kEpochOffset = -25569;

long long floorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int expandTwoDigitYear(int year)
{
    if (year >= 0 && year <= 29)
        return year + 2000;
    if (year >= 30 && year <= 99)
        return year + 1900;
    return year;
}

} // namespace

long long daysFromCivil(int year, int month, int day)
{
    // Howard Hinnant's days_from_civil, shifted to the OLE epoch.
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = floorDiv(y, 400);
    const long long yoe = y - era * 400;
    const long long mp = (month + 9) % 12;
    const long long doy = (153 * mp + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - kEpochOffset;
}

static void civilFromDays(long long dayNumber, int& year, int& month, int& day)
{
    const long long z = dayNumber + kEpochOffset + 719468;
    const long long era = floorDiv(z, 146097);
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int daysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return kDays[month - 1];
}

bool isValidCivilDate(int year, int month, int day)
{
    return year >= kMinDateYear && year <= kMaxDateYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

double composeDate(long long dayNumber, double secondsOfDay)
{
    const double fraction = secondsOfDay / 86400.0;
    if (dayNumber >= 0)
        return static_cast<double>(dayNumber) + fraction;
    return static_cast<double>(dayNumber) - fraction;
}

namespace {

void splitDate(double date, long long& dayNumber, int& seconds)
{
    const double whole = std::trunc(date);
    const double fraction = std::fabs(date - whole);
    dayNumber = static_cast<long long>(whole);
    seconds = static_cast<int>(std::floor(fraction * 86400.0 + 0.5));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++dayNumber;
    }
}

void checkDateRange(long long dayNumber)
{
    if (dayNumber < daysFromCivil(kMinDateYear, 1, 1) || dayNumber > daysFromCivil(kMaxDateYear, 12, 31))
        throw VbError(vberr::InvalidCall);
}

} // namespace

long long dayNumberOf(double date)
{
    long long d;
    int s;
    splitDate(date, d, s);
    return d;
}

int secondsOfDayOf(double date)
{
    long long d;
    int s;
    splitDate(date, d, s);
    return s;
}

double dateSerial(int year, int month, int day)
{
    long long y = expandTwoDigitYear(year);
    // Month rollover first (13 is January of the next year), then the
    // day counts from the first of that month.
    const long long m0 = static_cast<long long>(month) - 1;
    y += floorDiv(m0, 12);
    const int m = static_cast<int>(m0 - floorDiv(m0, 12) * 12) + 1;
    if (y < kMinDateYear - 1 || y > kMaxDateYear + 1)
        throw VbError(vberr::InvalidCall);
    const long long dayNumber = daysFromCivil(static_cast<int>(y), m, 1) + static_cast<long long>(day) - 1;
    checkDateRange(dayNumber);
    return static_cast<double>(dayNumber);
}

double timeSerial(int hour, int minute, int second)
{
    const long long total = static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
    const long long days = floorDiv(total, 86400);
    checkDateRange(days);
    return composeDate(days, static_cast<double>(total - days * 86400));
}

DateParts dateToParts(double date)
{
    DateParts p;
    long long dayNumber;
    int seconds;
    splitDate(date, dayNumber, seconds);
    civilFromDays(dayNumber, p.year, p.month, p.day);
    p.hour = seconds / 3600;
    p.minute = seconds / 60 % 60;
    p.second = seconds % 60;
    // 1899-12-30 was a Saturday (7).
    p.weekday = static_cast<int>(((dayNumber % 7) + 7 + 6) % 7) + 1;
    return p;
}

Text shortDateText(const DateParts& p)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%d/%04d", p.month, p.day, p.year);
    return fromAscii(buffer);
}

Text longTimeText(const DateParts& p)
{
    char buffer[32];
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", hour12, p.minute, p.second, p.hour < 12 ? "AM" : "PM");
    return fromAscii(buffer);
}

Text dateToText(double date)
{
    long long dayNumber;
    int seconds;
    splitDate(date, dayNumber, seconds);
    const DateParts p = dateToParts(date);
    if (dayNumber == 0)
        return longTimeText(p);
    if (seconds == 0)
        return shortDateText(p);
    return shortDateText(p) + u" " + longTimeText(p);
}

Text monthName(int month, bool abbreviate)
{
    static const char* const kNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12)
        throw VbError(vberr::InvalidCall);
    const std::string name = kNames[month - 1];
    return fromAscii(abbreviate ? name.substr(0, 3) : name);
}

Text weekdayName(int weekday, bool abbreviate)
{
    static const char* const kNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    if (weekday < 1 || weekday > 7)
        throw VbError(vberr::InvalidCall);
    const std::string name = kNames[weekday - 1];
    return fromAscii(abbreviate ? name.substr(0, 3) : name);
}

} // namespace quillet::script
