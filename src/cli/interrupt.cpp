#include "cli/interrupt.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillet {

namespace {

// Written by the signal handler: a lock-free atomic and write() are all
// a handler may touch.
std::atomic<bool> interruptFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);
int pipeEnds[2] = {-1, -1};

void onInterrupt(int signal)
{
    // A second Ctrl+C ends the process at once, for work that does not
    // look at the flag.
    if (interruptFlag.exchange(true)) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    if (pipeEnds[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    }
}

} // namespace

void catchInterrupts()
{
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        pipeEnds[0] = pipeEnds[1] = -1;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool interrupted()
{
    return interruptFlag.load();
}

int interruptDescriptor()
{
    return pipeEnds[0];
}

} // namespace quillet
