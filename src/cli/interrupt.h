// Ctrl+C (SIGINT) and SIGTERM for quillet-print: instead of ending the
// process wherever it is, and maybe leaving a temporary file behind, they
// raise a flag that the run in progress watches (run_watchdog.h) and make
// a descriptor readable for an event loop that waits for changes.  A
// second one ends the process as the signal would have.
#pragma once

namespace quillet {

// Installs the handlers; call once, before the first run.
void catchInterrupts();

// Whether Ctrl+C or SIGTERM came since catchInterrupts().
bool interrupted();

// Becomes readable once interrupted() holds (for a QSocketNotifier); -1
// before catchInterrupts() or when no pipe could be made.
int interruptDescriptor();

} // namespace quillet
