#include "cli/watch_command.h"

#include "cli/console_message.h"
#include "cli/interrupt.h"
#include "cli/print_command.h"
#include "cli/print_job.h"
#include "cli/print_plan.h"
#include "cli/run_lines.h"
#include "watch/file_watcher.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

namespace quillet {

int watchAndPrint(const PrintOptions& options, const PrintPlan& plan)
{
    const Text sheet = options.sheet.value_or(options.homePath + u"chrsht.tsx");
    QStringList files{QString::fromStdU16String(sheet)};
    for (const PrintTarget& target : plan.targets)
        files.append(QString::fromStdU16String(target.character));

    // Watching starts before the first run, so that a save during a run
    // brings another once it is over.
    watch::FileWatcher watcher;
    watcher.setFiles(files);
    printMessage(u"watching " + files.join(QStringLiteral(", ")).toStdU16String() + u"; Ctrl+C ends");

    RunLines lines(true, true);
    QEventLoop loop;
    auto runOnce = [&] {
        if (interrupted() || runPrintJob(options, plan, lines, true).interrupted)
            loop.quit();
    };
    QObject::connect(&watcher, &watch::FileWatcher::changed, &loop, runOnce, Qt::QueuedConnection);
    if (interruptDescriptor() >= 0) {
        auto* notifier = new QSocketNotifier(interruptDescriptor(), QSocketNotifier::Read, &loop);
        QObject::connect(notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    } else {
        // Without the signal's pipe, look for the flag now and then.
        auto* poll = new QTimer(&loop);
        QObject::connect(poll, &QTimer::timeout, &loop, [&] {
            if (interrupted())
                loop.quit();
        });
        poll->start(100);
    }
    runOnce();
    if (!interrupted())
        loop.exec();
    printMessage(u"stopped watching");
    return kExitPrinted;
}

} // namespace quillet
