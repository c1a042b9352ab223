// Lets long operations below the script engine - laying out a huge text or
// table, reading rich text, measuring, decoding a picture, writing pages -
// end early once the run they work for is asked to stop (the desktop's Stop
// button, quillet-print's --timeout).
//
// Whoever runs such work makes a stop flag current on its thread for the
// time (StopScope); the work calls pollStop() every so often, which throws
// StopRequested once that flag is set.  Without a current flag nothing ever
// stops.  A poll costs a thread-local load and a relaxed atomic load, so it
// may sit in any loop whose length the input decides.
#pragma once

#include "common/vb_error.h"

#include <atomic>

namespace quillet {

inline constexpr int kUserInterrupt = 18; // "User interrupt occurred"

// An operation gave up because its run was asked to stop.  The script
// engine ends the run with it like a stop at a loop turn: On Error Resume
// Next does not catch it.
class StopRequested : public VbError {
public:
    StopRequested() : VbError(kUserInterrupt, u"Script stopped on request") {}
};

// Makes `flag` (may be null: never stop) the stop flag of this thread for
// the scope's lifetime; scopes nest.
class StopScope {
public:
    explicit StopScope(const std::atomic<bool>* flag) noexcept : saved_(current_) { current_ = flag; }
    ~StopScope() { current_ = saved_; }
    StopScope(const StopScope&) = delete;
    StopScope& operator=(const StopScope&) = delete;

    static bool requested() noexcept { return current_ && current_->load(std::memory_order_relaxed); }

private:
    static inline constinit thread_local const std::atomic<bool>* current_ = nullptr;
    const std::atomic<bool>* saved_;
};

// Throws StopRequested when this thread's stop flag is set.
inline void pollStop()
{
    if (StopScope::requested())
        throw StopRequested();
}

} // namespace quillet
