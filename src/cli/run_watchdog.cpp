#include "cli/run_watchdog.h"

#include "cli/interrupt.h"
#include "script/engine.h"

#include <chrono>

namespace quillet {

namespace {

// How often an interrupt is looked for: a signal handler cannot wake a
// condition variable.
constexpr std::chrono::milliseconds kInterruptPoll{50};
constexpr std::chrono::milliseconds kStopRepeat{10};

} // namespace

RunWatchdog::RunWatchdog(script::Engine* engine, double seconds)
{
    thread_ = std::thread([this, engine, seconds] { watch(engine, seconds); });
}

RunWatchdog::~RunWatchdog()
{
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

void RunWatchdog::watch(script::Engine* engine, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const bool limited = seconds > 0;
    const Clock::time_point deadline =
        limited ? Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))
                : Clock::time_point::max();
    std::unique_lock lock(mutex_);
    while (!finished_) {
        if (interrupted())
            break;
        if (limited && Clock::now() >= deadline) {
            timedOut_.store(true);
            break;
        }
        done_.wait_for(lock, kInterruptPoll, [this] { return finished_; });
    }
    if (finished_)
        return;
    fired.store(true);
    do {
        if (engine)
            engine->requestStop();
    } while (!done_.wait_for(lock, kStopRepeat, [this] { return finished_; }));
}

} // namespace quillet
