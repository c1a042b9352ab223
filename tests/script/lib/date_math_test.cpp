#include "script/lib/date_math.h"
#include "script/lib/date_time.h"
#include "script/lib/vb_random.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet::script;

TEST(DateMath, AddClampsMonthEndsAndKeepsTime)
{
    const double jan31 = dateSerial(2026, 1, 31) + timeSerial(10, 0, 0);
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Month, 1, jan31)), u"2/28/2026 10:00:00 AM");
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Year, -2, jan31)), u"1/31/2024 10:00:00 AM");
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Quarter, 1, dateSerial(2024, 11, 30))), u"2/28/2025");
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Hour, 15, jan31)), u"2/1/2026 1:00:00 AM");
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Week, -1, dateSerial(2026, 1, 3))), u"12/27/2025");
    EXPECT_EQ(dateToText(dateAdd(DateInterval::Day, -1, 0)), u"12/29/1899");
    EXPECT_THROW(dateAdd(DateInterval::Year, 9000, jan31), quillet::VbError);
    EXPECT_THROW(dateIntervalFrom(u"x"), quillet::VbError);
    EXPECT_EQ(dateIntervalFrom(u"YYYY"), DateInterval::Year);
}

TEST(DateMath, DiffCountsBoundariesCrossed)
{
    const WeekRule sunday = weekRuleFrom(0, 0);
    const double a = dateSerial(2025, 12, 31) + timeSerial(23, 59, 59);
    const double b = dateSerial(2026, 1, 1);
    EXPECT_EQ(dateDiff(DateInterval::Year, a, b, sunday), 1);
    EXPECT_EQ(dateDiff(DateInterval::Month, a, b, sunday), 1);
    EXPECT_EQ(dateDiff(DateInterval::Day, a, b, sunday), 1);
    EXPECT_EQ(dateDiff(DateInterval::Second, a, b, sunday), 1);
    EXPECT_EQ(dateDiff(DateInterval::Hour, b, a, sunday), -1);
    // 2026-12-05 is a Saturday, 2026-12-06 a Sunday.
    EXPECT_EQ(dateDiff(DateInterval::Week, dateSerial(2026, 12, 5), dateSerial(2026, 12, 6), sunday), 1);
    EXPECT_EQ(dateDiff(DateInterval::Weekday, dateSerial(2026, 12, 5), dateSerial(2026, 12, 6), sunday), 0);
    EXPECT_EQ(dateDiff(DateInterval::Week, dateSerial(2026, 12, 6), dateSerial(2026, 12, 12), sunday), 0);
    EXPECT_EQ(dateDiff(DateInterval::Weekday, dateSerial(2026, 12, 6), dateSerial(2026, 12, 20), sunday), 2);
}

TEST(DateMath, PartsAndWeekNumbers)
{
    const double d = dateSerial(2026, 12, 6) + timeSerial(15, 4, 5);
    const WeekRule sunday = weekRuleFrom(1, 1);
    EXPECT_EQ(datePart(DateInterval::Quarter, d, sunday), 4);
    EXPECT_EQ(datePart(DateInterval::DayOfYear, d, sunday), 340);
    EXPECT_EQ(datePart(DateInterval::Weekday, d, sunday), 1);
    EXPECT_EQ(datePart(DateInterval::Weekday, d, weekRuleFrom(2, 1)), 7);
    EXPECT_EQ(datePart(DateInterval::Minute, d, sunday), 4);
    // 2021-01-01 is a Friday: week 1 under Jan-1, week 53 of 2020 under
    // the four-day and full-week rules (Monday weeks).
    const double jan1 = dateSerial(2021, 1, 1);
    EXPECT_EQ(datePart(DateInterval::Week, jan1, weekRuleFrom(2, 1)), 1);
    EXPECT_EQ(datePart(DateInterval::Week, jan1, weekRuleFrom(2, 2)), 53);
    EXPECT_EQ(datePart(DateInterval::Week, dateSerial(2021, 1, 4), weekRuleFrom(2, 2)), 1);
    EXPECT_EQ(datePart(DateInterval::Week, dateSerial(2021, 1, 10), weekRuleFrom(2, 3)), 1);
    EXPECT_EQ(datePart(DateInterval::Week, dateSerial(2026, 12, 31), sunday), 53);
    EXPECT_THROW(weekRuleFrom(8, 1), quillet::VbError);
}

TEST(VbRandom, MatchesTheClassicSequence)
{
    VbRandom r;
    EXPECT_EQ(r.next(0), 327680.0f / 16777216.0f); // the starting seed's number
    EXPECT_FLOAT_EQ(r.next(), 0.7055475f);
    EXPECT_FLOAT_EQ(r.next(), 0.533424f);
    EXPECT_FLOAT_EQ(r.next(0), 0.533424f);
    EXPECT_FLOAT_EQ(r.next(-1), 0.224007f);
    const float afterMinusOne = r.next();
    EXPECT_FLOAT_EQ(r.next(-1), 0.224007f);
    EXPECT_EQ(r.next(), afterMinusOne);
    VbRandom a, b;
    a.randomize(42);
    b.randomize(42);
    EXPECT_EQ(a.next(), b.next());
    VbRandom c;
    c.randomize(43);
    EXPECT_NE(c.seed(), VbRandom().seed());
}
