#include "shell/script_thread.h"

#include "shell/stop_dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

namespace quillet {

bool runOffUiThread(const std::function<bool()>& work, const std::function<void()>& requestStop,
                    int stopDialogDelayMs, QWidget* parent)
{
    QEventLoop loop;
    std::atomic<bool> done{false};
    bool result = false;
    std::exception_ptr failure;

    std::thread worker([&] {
        try {
            result = work();
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true);
        // Wakes the loop below if it is waiting for events.
        QMetaObject::invokeMethod(&loop, [] {}, Qt::QueuedConnection);
    });

    // The window that was modal when the run began (the preview window,
    // for a run it starts) is not one of the script's boxes.
    const QPointer<QWidget> modalBefore = QApplication::activeModalWidget();
    QPointer<StopDialog> dialog;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (done.load())
            return;
        // The script is waiting for the user's answer to its own message
        // or input box: that time does not count as running.
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != modalBefore) {
            timer.start(stopDialogDelayMs);
            return;
        }
        dialog = new StopDialog(requestStop, parent);
        dialog->show();
    });
    timer.start(stopDialogDelayMs);

    while (!done.load()) {
        // Until the dialog is there, clicks and keys wait: the main window
        // must not start anything while the script runs.  The dialog is
        // modal, so once it is shown input reaches only it.
        QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
        if (!dialog)
            flags |= QEventLoop::ExcludeUserInputEvents;
        loop.processEvents(flags);
    }
    worker.join();
    timer.stop();
    delete dialog.data();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

} // namespace quillet
