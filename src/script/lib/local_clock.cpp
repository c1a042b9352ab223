#include "script/lib/local_clock.h"

#include "script/lib/date_time.h"

#include <chrono>
#include <ctime>

namespace quillet::script {

namespace {

struct LocalTime {
    std::tm tm{};
    double fraction = 0; // of the current second
};

LocalTime localTime()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto seconds = time_point_cast<std::chrono::seconds>(now);
    LocalTime out;
    const std::time_t t = system_clock::to_time_t(seconds);
    localtime_r(&t, &out.tm);
    out.fraction = duration<double>(now - seconds).count();
    return out;
}

} // namespace

double localNow()
{
    const LocalTime t = localTime();
    return composeDate(daysFromCivil(t.tm.tm_year + 1900, t.tm.tm_mon + 1, t.tm.tm_mday),
                       t.tm.tm_hour * 3600.0 + t.tm.tm_min * 60.0 + t.tm.tm_sec);
}

double secondsSinceMidnight()
{
    const LocalTime t = localTime();
    return t.tm.tm_hour * 3600.0 + t.tm.tm_min * 60.0 + t.tm.tm_sec + t.fraction;
}

int localYear()
{
    return localTime().tm.tm_year + 1900;
}

} // namespace quillet::script
