#include "script/stop_request.h"

#include "script/core/runtime.h"

namespace quillet::script {

namespace {

constinit thread_local const std::atomic<bool>* currentRequest = nullptr;

} // namespace

bool stopRequested() noexcept
{
    return currentRequest && currentRequest->load(std::memory_order_relaxed);
}

void pollStop()
{
    if (stopRequested())
        throw StopSignal{kStopErrorNumber, Text(kStoppedOnRequest)};
}

StopRequestScope::StopRequestScope(const std::atomic<bool>* request) noexcept : saved_(currentRequest)
{
    currentRequest = request;
}

StopRequestScope::~StopRequestScope()
{
    currentRequest = saved_;
}

} // namespace quillet::script
