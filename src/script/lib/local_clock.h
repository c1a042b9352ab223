// The machine's local wall-clock time, as Date, Time, Now and Timer see it.
#pragma once

namespace quillet::script {

// Now as a date value (whole seconds, local time).
double localNow();
// Seconds since local midnight with fractions (Timer).
double secondsSinceMidnight();
// The current local year (for dates typed without one).
int localYear();

} // namespace quillet::script
