// quillet-print --watch: prints, then prints again whenever the sheet
// script or a character file has been saved, one line per character and
// run, until Ctrl+C.  A run that fails or is interrupted writes nothing,
// so the last good PDF stays.
#pragma once

namespace quillet {

struct PrintOptions;
struct PrintPlan;

// Needs a QGuiApplication; catchInterrupts() must have been called.
// Returns kExitPrinted once interrupted.
int watchAndPrint(const PrintOptions& options, const PrintPlan& plan);

} // namespace quillet
