// Ends a sheet run that takes too long or that Ctrl+C interrupts: it
// raises its own flag (which the writing of the pages watches through
// StopScope) and asks the engine to stop, again and again until the run is
// over, since the engine forgets a request when its next call starts.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quillet {

namespace script {
class Engine;
}

class RunWatchdog {
public:
    // `engine` may be null when only files are written.  `seconds` <= 0:
    // no time limit, only interrupts.
    RunWatchdog(script::Engine* engine, double seconds);
    ~RunWatchdog();
    RunWatchdog(const RunWatchdog&) = delete;
    RunWatchdog& operator=(const RunWatchdog&) = delete;

    // Set once the time is up or an interrupt came.
    std::atomic<bool> fired{false};
    bool timedOut() const { return timedOut_.load(); }

private:
    void watch(script::Engine* engine, double seconds);

    std::atomic<bool> timedOut_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

} // namespace quillet
