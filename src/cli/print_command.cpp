#include "cli/print_command.h"

#include "cli/console_message.h"
#include "cli/interrupt.h"
#include "cli/print_job.h"
#include "cli/print_plan.h"
#include "cli/run_lines.h"
#include "cli/watch_command.h"

#include <QDir>

namespace quillet {

Text defaultSampleCharacter(const Text& homePath)
{
    return homePath + u"characters/aldric.kvr";
}

int runPrintCommand(const PrintOptions& options)
{
    Text problem;
    const std::optional<PrintPlan> plan = planPrinting(options, problem);
    if (!plan) {
        printMessage(problem);
        return kExitUsage;
    }
    if (options.outputDir && !QDir().mkpath(QString::fromStdU16String(*options.outputDir))) {
        printMessage(u"cannot create the folder " + *options.outputDir);
        return kExitSheetFailed;
    }
    catchInterrupts();
    if (options.watch)
        return watchAndPrint(options, *plan);
    RunLines lines(plan->targets.size() > 1, false);
    const JobOutcome outcome = runPrintJob(options, *plan, lines, false);
    return outcome.interrupted ? kExitInterrupted : outcome.status;
}

} // namespace quillet
