// The VBScript engine running arbitrary scripts as a sheet script runs:
// add the code, call main, then reset and check that the engine still
// works.  The harness holds every run to what the program itself allows:
// a step budget, a time limit (the program's timeout and Stop dialog do the
// same through requestStop) and a memory budget, past which the engine is
// asked to stop as well.  The engine's own memory limit is set well below
// that budget, so that what scripts build ends in error 7 (and the fuzzer
// exercises those paths) before the budget's stop is needed.  Single
// allocations beyond 512 MB fail and must come back as "Out of memory",
// not as a crash.
#include "fuzz_text.h"
#include "script/engine.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=512";
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kStepBudget = 200000;
constexpr auto kTimeLimit = std::chrono::milliseconds(1500);
constexpr size_t kMemoryBudget = size_t(768) << 20;
// Half the budget: the meter counts script values and code, not every
// byte the engine or the sanitizers' bookkeeping around them takes.
constexpr size_t kEngineMemoryLimit = kMemoryBudget / 2;

// The engine that is running and when its time is up.
std::mutex runningMutex;
quillet::script::Engine* running = nullptr;
Clock::time_point deadline;

void stopRunning()
{
    std::lock_guard lock(runningMutex);
    if (running)
        running->requestStop();
}

void watchTime()
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::lock_guard lock(runningMutex);
        if (running && Clock::now() > deadline)
            running->requestStop();
    }
}

// Called by the sanitizer's allocator for every allocation.
std::atomic<bool> overBudget{false};
void watchMemory(const volatile void*, size_t size)
{
    static thread_local unsigned calls = 0;
    if (size < 65536 && ++calls % 1024 != 0)
        return;
    if (__sanitizer_get_current_allocated_bytes() > kMemoryBudget)
        overBudget.store(true);
}
void ignoreFree(const volatile void*) {}

// Stop requests from the memory hook are passed on by a thread of their
// own: the hook may run with the allocator's locks held.
void watchBudgetFlag()
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (overBudget.exchange(false))
            stopRunning();
    }
}

class Running {
public:
    explicit Running(quillet::script::Engine& engine)
    {
        std::lock_guard lock(runningMutex);
        running = &engine;
        deadline = Clock::now() + kTimeLimit;
    }
    ~Running()
    {
        std::lock_guard lock(runningMutex);
        running = nullptr;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    __sanitizer_install_malloc_and_free_hooks(watchMemory, ignoreFree);
    std::thread(watchTime).detach();
    std::thread(watchBudgetFlag).detach();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    using namespace quillet::script;
    const Text source = fuzz::fileText(std::string(reinterpret_cast<const char*>(data), size));

    EngineLimits limits;
    limits.stepBudget = kStepBudget;
    limits.memoryLimit = kEngineMemoryLimit;
    Engine engine(limits);
    UiCallbacks ui;
    ui.messageBox = [](const Text&, int, const Text&) { return 1; };
    ui.inputBox = [](const Text&, const Text&, const Text&) -> std::optional<Text> { return Text(u"42"); };
    engine.setUiCallbacks(ui);
    {
        Running guard(engine);
        const bool ok = engine.addCode(source) && (!engine.hasProcedure(u"main") || engine.run(u"main"));
        if (!ok && (engine.lastError().number == 0 || engine.lastError().description.empty()))
            std::abort();
        engine.reset(); // runs the terminators of objects still alive
    }
    overBudget.store(false);

    // The engine must be as good as new after a reset.
    if (!engine.addCode(u"Function twice(n)\r\ntwice = n * 2\r\nEnd Function\r\n"))
        std::abort();
    const std::optional<Value> v = engine.eval(u"twice(21)");
    if (!v)
        std::abort();
    return 0;
}
