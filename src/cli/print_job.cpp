#include "cli/print_job.h"

#include "cli/character_run.h"
#include "cli/interrupt.h"
#include "cli/print_command.h"
#include "cli/print_plan.h"
#include "cli/run_lines.h"
#include "cli/run_watchdog.h"
#include "common/file_system.h"
#include "common/stop_request.h"
#include "state/app_state.h"
#include "state/document_title.h"
#include "surface/pdf_export.h"
#include "surface/png_export.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

namespace quillet {

namespace {

bool writePages(const surface::Document& document, const Text& pdf, const Text& title, const Text& pngPattern,
                const std::function<void(const Text&)>& message)
{
    QString error;
    if (!surface::writePdf(document, QString::fromStdU16String(pdf), &error, QString::fromStdU16String(title))) {
        message(u"cannot write " + pdf + u": " + error.toStdU16String());
        return false;
    }
    if (!pngPattern.empty()) {
        const QString pattern = QString::fromStdU16String(pngPattern);
        const QString folder = QFileInfo(pattern).path();
        if (!QDir().mkpath(folder)) {
            message(u"cannot create the folder " + folder.toStdU16String());
            return false;
        }
        if (!surface::writePngPages(document, pattern, 150, &error)) {
            message(u"cannot write the pages: " + error.toStdU16String());
            return false;
        }
    }
    return true;
}

int exitStatusOf(RunStatus status)
{
    switch (status) {
    case RunStatus::Printed: return kExitPrinted;
    case RunStatus::CharacterFailed: return kExitCharacterFailed;
    case RunStatus::SheetFailed: return kExitSheetFailed;
    case RunStatus::Interrupted: return kExitInterrupted;
    }
    return kExitSheetFailed;
}

} // namespace

JobOutcome runPrintJob(const PrintOptions& options, const PrintPlan& plan, RunLines& lines, bool wholeOrNothing)
{
    JobOutcome outcome;
    surface::Document combined;
    // Pages of several characters go by the sheet's name alone.
    Text combinedTitle;
    int printedCount = 0;
    int failures = 0;
    for (const PrintTarget& target : plan.targets) {
        if (interrupted()) {
            outcome.interrupted = true;
            return outcome;
        }
        const auto start = std::chrono::steady_clock::now();
        int pages = 0;
        RunHooks hooks;
        hooks.message = [&](const Text& text) { lines.message(target.character, text); };
        hooks.deliver = [&](const surface::Document& document, const AppState& state) {
            pages = static_cast<int>(document.pages.size());
            if (target.pdf.empty()) {
                combinedTitle = fileNameOf(state.TesseraFile);
                // Each character's pages were laid out on their own, so
                // their headers and footers number them from 1.
                combined.pages.insert(combined.pages.end(), document.pages.begin(), document.pages.end());
                return true;
            }
            return writePages(document, target.pdf, sheetDocumentTitle(state), target.pngPattern, hooks.message);
        };
        const RunStatus status = printCharacter(options, target.character, hooks);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status == RunStatus::Interrupted) {
            lines.interrupted(target.character);
            outcome.interrupted = true;
            return outcome;
        }
        if (status == RunStatus::Printed) {
            ++printedCount;
            lines.printed(target.character, pages, seconds, target.pdf);
            continue;
        }
        ++failures;
        lines.failed(target.character);
        if (outcome.status == kExitPrinted)
            outcome.status = exitStatusOf(status);
    }
    if (!plan.combinedPdf)
        return outcome;
    if (printedCount == 0 || (wholeOrNothing && failures > 0)) {
        lines.keptCombined(*plan.combinedPdf, failures);
        return outcome;
    }
    // Writing many pages takes time too: the time limit and Ctrl+C apply.
    RunWatchdog watchdog(nullptr, options.timeoutSeconds);
    StopScope stopping(&watchdog.fired);
    const bool written = writePages(combined, *plan.combinedPdf, combinedTitle, plan.combinedPngPattern,
                                    [&](const Text& text) { lines.message(Text(), text); });
    if (watchdog.fired && !watchdog.timedOut()) {
        lines.interrupted(Text());
        outcome.interrupted = true;
    } else if (written) {
        lines.wroteCombined(*plan.combinedPdf, static_cast<int>(combined.pages.size()), printedCount);
    } else {
        if (watchdog.timedOut())
            lines.message(Text(), u"writing the pages was stopped: it took longer than the time limit");
        lines.failed(Text());
        if (outcome.status == kExitPrinted)
            outcome.status = kExitSheetFailed;
    }
    return outcome;
}

} // namespace quillet
