#include "shell/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace quillet {

bool onUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void callOnUiThread(const std::function<void()>& work)
{
    if (onUiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&work] { work(); }, Qt::BlockingQueuedConnection);
}

} // namespace quillet
