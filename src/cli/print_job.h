// One pass over every character of a plan: each is printed and its pages
// written; the pages of a combined PDF are gathered and written at the end.
#pragma once

namespace quillet {

struct PrintOptions;
struct PrintPlan;
class RunLines;

struct JobOutcome {
    // kExitPrinted, or the status of the first character that failed.
    int status = 0;
    bool interrupted = false;
};

// `wholeOrNothing`: a combined PDF is written only when every character
// printed (a failed run leaves the last good one); otherwise it holds the
// characters that printed.
JobOutcome runPrintJob(const PrintOptions& options, const PrintPlan& plan, RunLines& lines, bool wholeOrNothing);

} // namespace quillet
