// The stop request of the script run this thread works for, polled from
// inside long operations.  Between statements the engine checks it itself
// (at every loop turn and call); an operation whose cost grows with its
// input (a builtin walking a huge text or array, a host object's member
// laying out a huge table) polls it as it goes, so that Stop and a time
// limit end any run within a fraction of a second.
//
//   StopPoll poll;
//   for (const Row& row : rows) {
//       poll.tick();   // polls once every 64K rows
//       ...
//   }
//
// The engine makes its request current on its thread while it works
// (addCode, run, eval, reset); elsewhere the poll finds no request.
#pragma once

#include <atomic>
#include <cstddef>
#include <type_traits>

namespace quillet::script {

// True when the run this thread works for has been asked to stop.
bool stopRequested() noexcept;

// When stopRequested(): throws the engine's stop signal, which ends the
// run with error 18 "Script stopped on request" wherever it is (On Error
// Resume Next does not catch it).  Code that catches everything must let
// it pass (catch (...) { clean up; throw; }).
void pollStop();

// pollStop() once per `interval` units of work counted with tick(): for
// loops whose single turns are cheap.
class StopPoll {
public:
    static constexpr size_t kDefaultInterval = size_t(1) << 16;

    explicit StopPoll(size_t interval = kDefaultInterval) noexcept : interval_(interval), left_(interval) {}

    void tick(size_t units = 1)
    {
        if (units < left_) {
            left_ -= units;
            return;
        }
        left_ = interval_;
        pollStop();
    }

private:
    size_t interval_;
    size_t left_;
};

// Calls work(from, to) over [0, count) in stretches of `stretch`, polling
// the stop request between them: for loops that can run at full speed
// between polls.  A `work` that returns a bool ends the walk with false.
template <typename Work>
void inStretches(size_t count, Work&& work, size_t stretch = StopPoll::kDefaultInterval)
{
    for (size_t from = 0; from < count; from += stretch) {
        if (from != 0)
            pollStop();
        const size_t to = count - from < stretch ? count : from + stretch;
        if constexpr (std::is_same_v<decltype(work(from, to)), bool>) {
            if (!work(from, to))
                return;
        } else {
            work(from, to);
        }
    }
}

// Makes `request` (may be null) the stop request of this thread for the
// scope's lifetime; scopes nest.  The engine's own business.
class StopRequestScope {
public:
    explicit StopRequestScope(const std::atomic<bool>* request) noexcept;
    ~StopRequestScope();
    StopRequestScope(const StopRequestScope&) = delete;
    StopRequestScope& operator=(const StopRequestScope&) = delete;

private:
    const std::atomic<bool>* saved_;
};

} // namespace quillet::script
