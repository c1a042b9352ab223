// Polling the stop request (common/stop_request.h) from the engine's long
// loops without paying a poll per turn: a builtin walking a huge text or
// array, the compiler reading a huge one.
//
//   StopPoll poll;
//   for (const Row& row : rows) {
//       poll.tick();   // polls once every 64K rows
//       ...
//   }
#pragma once

#include "common/stop_request.h"

#include <cstddef>
#include <type_traits>

namespace quillet::script {

// pollStop() once per `interval` units of work counted with tick().
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

} // namespace quillet::script
