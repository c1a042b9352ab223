#include "script/lib/date_time.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet::script;
using quillet::VbError;

namespace {
double parse(const char16_t* text) { return parseDateText(text, 2026).value_or(-99999); }
} // namespace

TEST(DateSerial, RollsMonthsDaysAndShortYears)
{
    EXPECT_EQ(dateSerial(1899, 12, 30), 0.0);
    EXPECT_EQ(dateSerial(1900, 1, 1), 2.0);
    EXPECT_EQ(dateSerial(2000, 1, 1), 36526.0);
    EXPECT_EQ(dateSerial(2026, 13, 1), dateSerial(2027, 1, 1));
    EXPECT_EQ(dateSerial(2026, 3, 0), dateSerial(2026, 2, 28));
    EXPECT_EQ(dateSerial(2024, 3, 0), dateSerial(2024, 2, 29));
    EXPECT_EQ(dateSerial(2026, 0, 1), dateSerial(2025, 12, 1));
    EXPECT_EQ(dateSerial(2026, -13, 1), dateSerial(2024, 11, 1));
    EXPECT_EQ(dateSerial(2026, 1, 400), dateSerial(2027, 2, 4));
    EXPECT_EQ(dateSerial(29, 1, 1), dateSerial(2029, 1, 1));
    EXPECT_EQ(dateSerial(30, 1, 1), dateSerial(1930, 1, 1));
    EXPECT_EQ(dateSerial(1800, 1, 1), -36522.0);
    EXPECT_THROW(dateSerial(10000, 1, 1), VbError);
    EXPECT_THROW(dateSerial(9999, 12, 32), VbError);
}

TEST(DateParts, NegativeDatesCountTimeForward)
{
    const DateParts p = dateToParts(-1.25);
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    EXPECT_EQ(composeDate(-1, 6 * 3600), -1.25);
    EXPECT_EQ(timeSerial(-1, 0, 0), composeDate(-1, 23 * 3600));
    EXPECT_EQ(dateToText(timeSerial(25, 0, 0)), u"12/31/1899 1:00:00 AM");
}

TEST(DateParts, RoundsToNearestSecondAndWeekday)
{
    const double almostMidnight = dateSerial(2026, 12, 6) + 86399.6 / 86400.0;
    const DateParts p = dateToParts(almostMidnight);
    EXPECT_EQ(p.day, 7);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(dateToParts(dateSerial(2026, 12, 6)).weekday, 1); // a Sunday
    EXPECT_EQ(dateToParts(0).weekday, 7);
    EXPECT_EQ(dateToParts(dateSerial(1800, 1, 1)).weekday, 4);
}

// Dates and times as text, and the parser's common forms, are in the golden
// lib_dates.vbs; the hours after midnight are not.
TEST(DateText, TheHourAfterMidnightIsTwelveAm)
{
    EXPECT_EQ(dateToText(0), u"12:00:00 AM");
    EXPECT_EQ(dateToText(timeSerial(0, 30, 0)), u"12:30:00 AM");
}

TEST(DateParse, AcceptsUsFormsAndSwapsImpossibleOrders)
{
    const double dec6 = dateSerial(2026, 12, 6);
    EXPECT_EQ(parse(u"12-6-26"), dec6);
    EXPECT_EQ(parse(u"December 6 2026"), dec6);
    EXPECT_EQ(parse(u"6-dec-2026"), dec6);
    EXPECT_EQ(parse(u"Sunday, December 6, 2026"), dec6);
    EXPECT_EQ(parse(u"12/6"), dec6);
    EXPECT_EQ(parse(u"December 2026"), dateSerial(2026, 12, 1));
    EXPECT_EQ(parse(u"13/1/2026"), dateSerial(2026, 1, 13));
    EXPECT_EQ(parse(u"1/1/99"), dateSerial(1999, 1, 1));
}

TEST(DateParse, AcceptsTimesAloneAndCombined)
{
    EXPECT_EQ(parse(u"3:04 PM"), timeSerial(15, 4, 0));
    EXPECT_EQ(parse(u"15:04:05"), timeSerial(15, 4, 5));
    EXPECT_EQ(parse(u"3 pm"), timeSerial(15, 0, 0));
    EXPECT_EQ(parse(u"12:00 AM"), 0.0);
    EXPECT_EQ(parse(u"3:04:05 PM 12/6/2026"), dateSerial(2026, 12, 6) + timeSerial(15, 4, 5));
}

TEST(DateParse, RejectsWhatIsNotADate)
{
    for (const char16_t* bad : {u"", u"hello", u"5", u"2/30/2026", u"13/13/2026", u"25:00", u"3:61", u"13 PM",
                                u"12/6/2026 x", u"1:2:3:4", u"Dec Jan 2026", u"12/6/10000"})
        EXPECT_FALSE(parseDateText(bad, 2026).has_value()) << quillet::toUtf8(bad);
}
