// Runs a sheet script off the user-interface thread.  The user-interface
// thread keeps painting meanwhile (input waits), and after a delay a
// "Stop script" dialog offers to end a script that does not finish.
#pragma once

#include <functional>

class QWidget;

namespace quillet {

// Runs `work` on a worker thread and returns its result once it has
// ended.  `requestStop` is what the Stop button calls; the dialog appears
// after `stopDialogDelayMs` and belongs to `parent`.  An exception thrown
// by `work` is passed on here.
bool runOffUiThread(const std::function<bool()>& work, const std::function<void()>& requestStop,
                    int stopDialogDelayMs, QWidget* parent);

} // namespace quillet
