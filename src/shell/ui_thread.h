// Sheet scripts run on a worker thread; whatever they ask of the windows
// (a message box, a log line) must happen on the user-interface thread.
#pragma once

#include <functional>

namespace quillet {

// Runs `work` on the user-interface thread and returns when it is done:
// directly when called there, otherwise through the event loop, which the
// user-interface thread keeps running while a script runs.
void callOnUiThread(const std::function<void()>& work);

bool onUiThread();

} // namespace quillet
